# The layers of the core, lowest first. Each folder under src/ is a static library that links,
# and may include headers from, only the folders listed for it (and its own). The same table drives
# the link order and the include check (check_layers.cmake), so the two cannot drift apart.
# xml is the Expat set-up the XML readers share; it stays out of platform so that platform (like
# settings and filters) needs no third-party library.
set(ORVEL_LAYERS platform host xml settings database filters softlist launch info app)

set(ORVEL_USES_platform "")
set(ORVEL_USES_host "")
set(ORVEL_USES_xml "")
set(ORVEL_USES_settings platform)
set(ORVEL_USES_database platform host xml settings)
set(ORVEL_USES_filters platform host database)
set(ORVEL_USES_softlist platform host xml)
set(ORVEL_USES_launch platform host settings database softlist)
set(ORVEL_USES_info platform xml settings database)
set(ORVEL_USES_app platform host xml settings database filters softlist launch info)

# The two programs sit on top; only the desktop program includes Qt.
set(ORVEL_USES_gui ${ORVEL_LAYERS})
set(ORVEL_USES_cli ${ORVEL_LAYERS})
set(ORVEL_QT_FOLDERS gui)
