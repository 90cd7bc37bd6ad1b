# Copies modules/ (without the QML sources, which are compiled in) to the build folder.
file(COPY ${SRC}/ DESTINATION ${DST} PATTERN "qml" EXCLUDE)
