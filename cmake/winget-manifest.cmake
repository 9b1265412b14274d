# Writes the package manager's manifest of the two built installers: the
# version, installer and default-locale files, with each program's SHA-256.
# Run after both setup.exe are linked (and signed, when they are):
#   cmake -DSETUP_X86=<setup.exe> -DSETUP_X64=<setup.exe> -DTEMPLATES=<assets/winget>
#         -DOUT=<folder> -DURL_X86=<download address> -DURL_X64=<download address> -P winget-manifest.cmake
foreach(arch X86 X64)
  file(SHA256 "${SETUP_${arch}}" digest)
  string(TOUPPER "${digest}" QV_SETUP_${arch}_SHA256)
  set(QV_INSTALLER_URL_${arch} "${URL_${arch}}")
endforeach()
set(QV_PACKAGE_ID "QuorVelSoft.QuorVel")
set(QV_VERSION "2.0")
set(QV_MANIFEST_VERSION "1.28.0")
# The product code is the name of the program's uninstall key.
set(QV_PRODUCT_CODE "Quorvel V2.0")
file(MAKE_DIRECTORY "${OUT}")
foreach(part "" ".installer" ".locale.ru-RU")
  configure_file("${TEMPLATES}/package${part}.yaml.in" "${OUT}/${QV_PACKAGE_ID}${part}.yaml" @ONLY)
endforeach()
