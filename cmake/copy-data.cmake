# SPDX-License-Identifier: GPL-3.0-or-later
# Copies modules/ to the build folder, without what is compiled into the program or built from
# sources: the QML scene, and the skin's SVG sources (their PNGs are rendered into place).
file(COPY ${SRC}/ DESTINATION ${DST}
  PATTERN "qml" EXCLUDE
  REGEX "/img/skin[0-9]+/.+" EXCLUDE)
