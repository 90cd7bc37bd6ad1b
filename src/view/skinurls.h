// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Skin pictures are built at their design size ("<name>.png") and at twice it ("<name>@2x.png";
// see cmake/skin.cmake). While the window is scaled up the scene names them "<name>.png?hi"; this
// maps such a URL to the "@2x" file where one exists (Qt Quick then shows it at its design size),
// and otherwise drops the query. The smaller pictures keep start-up and memory low on ordinary
// screens.

class QQmlEngine;
class QUrl;

// The file for a skin picture's URL ("qrc:" or "file:", under modules/img/skin<N>/): the "@2x"
// one for "?hi" where it exists, else the plain one; other URLs unchanged.
QUrl skinPictureUrl(const QUrl &url);

// Applies skinPictureUrl to every URL the engine's scenes assign.
void installSkinUrlInterceptor(QQmlEngine *engine);
