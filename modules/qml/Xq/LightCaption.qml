// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import "../common"

// A caption of the lighting page: cut with an ellipsis once it cannot shrink further.
SceneLabel {
    elide: Text.ElideRight
}
