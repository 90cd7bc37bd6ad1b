// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Demo mode: the program runs against a virtual mouse plugged in through the hidapi seam.

#include <QString>
#include <QStringList>

class QLocalServer;
class QObject;
class Widget;
class myQQuickView;

namespace vdev {

class VirtualDevice;

// "553" or "560" (empty: the default family); anything else is not a family.
bool isDemoFamily(const QString &family);
QString defaultDemoFamily();

// Installs the process's virtual device (backend and device-change source) with the mouse of
// `family` plugged in, then, when w is given, attaches the demo to the window: its monitor
// follows the virtual device, the tray gets a "Virtual mouse" submenu, MOUSECFG_WIRE_LOG names
// a file for the wire log, MOUSECFG_VDEV_CONTROL a control socket and MOUSECFG_VDEV_SETTLE_MS
// the wait before a device check (ms; the real mice's 1024 when unset). The mice keep what they
// store in "demo-mice.state" in the data folder (the working directory). Call it after the Widget
// is built and before the first device check (calling it once with nullptr before the Widget
// exists and again with the Widget also works). False for an unknown family.
bool setupDemo(const QString &family, Widget *w);

// Someone trying the demo keeps their desktop as it is: the pointer settings go to a stand-in
// unless MOUSECFG_DEMO_DESKTOP is 1. setupDemo calls it.
void useDemoPointerSettings();

// The virtual device of demo mode (null outside it).
VirtualDevice *demoDevice();

// One line of the control protocol, run against `device` with `mouse` as the default target:
//   press dpi|rate|light|speed [xN] [553|560|3395] (xN: N presses at once), unplug [553|560|3395],
//   plug [553|560|3395], deny [553|560|3395] and allow [553|560|3395] (the mouse refuses this user, as while another
//   session has the seat, and takes it back; in demo mode the session follows), state [553|560|3395],
//   fault fail|drop|alter write|feature [N|always] [553|560|3395] (the next N reports of that kind
//   to the mouse fail, are lost or arrive altered) and fault clear, help,
//   and, when a view is given, set <key> <value> (stores value under key in the current
//   profile, as a page of the window would).
// Returns the answer lines; the last one is "ok" or starts with "error".
QStringList runControlCommand(VirtualDevice &device, int mouse, const QString &line, myQQuickView *view = nullptr);

// Serves runControlCommand on a local socket (only for this user): each line read gets its
// answer lines back. Null when it cannot listen on `name`.
QLocalServer *startControlServer(VirtualDevice &device, int mouse, const QString &name, QObject *parent,
                                 myQQuickView *view = nullptr);

} // namespace vdev
