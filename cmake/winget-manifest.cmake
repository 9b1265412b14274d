# Writes the package manager's manifest of the built setup.exe: the version,
# installer and default-locale files, with the program's SHA-256. Run after
# setup.exe is linked (and signed, when it is):
#   cmake -DSETUP=<setup.exe> -DTEMPLATES=<assets/winget> -DOUT=<folder> -DURL=<download address> -P winget-manifest.cmake
file(SHA256 "${SETUP}" QV_SETUP_SHA256)
string(TOUPPER "${QV_SETUP_SHA256}" QV_SETUP_SHA256)
set(QV_PACKAGE_ID "QuorVelSoft.QuorVel")
set(QV_VERSION "2.0")
set(QV_MANIFEST_VERSION "1.28.0")
# The product code is the name of the program's uninstall key.
set(QV_PRODUCT_CODE "Quorvel V2.0")
set(QV_INSTALLER_URL "${URL}")
file(MAKE_DIRECTORY "${OUT}")
foreach(part "" ".installer" ".locale.ru-RU")
  configure_file("${TEMPLATES}/package${part}.yaml.in" "${OUT}/${QV_PACKAGE_ID}${part}.yaml" @ONLY)
endforeach()
