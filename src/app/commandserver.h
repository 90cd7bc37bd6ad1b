// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Runs the command line's commands on the window: the one in this process (mousecfg started
// with a command and no program running) and those handed over by later starts. Each command
// waits until the window is set up for the mouse, then runs through the scene's command
// functions (modules/qml/CommandOps.qml), which do what the window's controls do; one command
// at a time, in the order they came.

#include "app/commandline.h"
#include "app/singleinstance.h"

#include <QDeadlineTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

class Widget;

namespace cli {

class CommandServer : public QObject
{
    Q_OBJECT
public:
    // demoFamily: the virtual mouse this program runs with (empty: the attached mice);
    // defaultDemoFamily: the family a bare --demo means.
    CommandServer(Widget *widget, const QString &demoFamily, const QString &defaultDemoFamily,
                  QObject *parent = nullptr);

    // How long a command waits for the window to be set up for a mouse.
    int readyTimeoutMs = 30000;

    bool idle() const { return !m_running && m_queue.isEmpty(); }

public slots:
    void submit(const QStringList &arguments, const QString &workingDir, const CommandAnswer &answer);

signals:
    // The last command in the queue has been answered.
    void drained();

private:
    struct Job
    {
        QStringList arguments;
        QString workingDir;
        CommandAnswer answer;
        Parsed parsed;
        QDeadlineTimer deadline;
    };

    void next();
    void poll();
    void finish(const CommandReply &reply);
    CommandReply run(const Request &request, const QString &workingDir);
    QObject *commandOps() const;
    bool sceneReady() const;

    QPointer<Widget> m_widget;
    QString m_demoFamily;
    QString m_defaultDemoFamily;
    QList<Job> m_queue;
    Job m_job;
    bool m_running = false;
    QTimer m_wait;
};

// The answer printed: its text to standard output and standard error.
void print(const CommandReply &reply);

// Hands the command to the program that runs already and prints its answer; the exit code.
int handOver(SingleInstance &instance, const QStringList &arguments, const QString &workingDir);

// Runs the command in this process on a window built for it (not shown), answering later
// starts' commands meanwhile; returns when all are answered, with the exit code of its own.
int runHere(Widget &widget, SingleInstance &instance, const QStringList &arguments, const QString &workingDir,
            const QString &demoFamily, const QString &defaultDemoFamily);

// The process of a command: no window system is needed, and the window's debug lines stay out
// of the answer. Before the application object is built.
void prepareProcess();


} // namespace cli
