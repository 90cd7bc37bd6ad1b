#pragma once

// Skin pictures are built at twice their design size and stored as "<name>@2x.png" (see
// cmake/skin.cmake). The scene names them "<name>.png"; this maps such a URL to the "@2x" file
// where one exists, and Qt Quick then shows it at its design size.

class QQmlEngine;
class QUrl;

// The "@2x" file for a skin picture's URL ("qrc:" or "file:", under modules/img/skin<N>/),
// or the URL unchanged when there is none.
QUrl skinPictureUrl(const QUrl &url);

// Applies skinPictureUrl to every URL the engine's scenes assign.
void installSkinUrlInterceptor(QQmlEngine *engine);
