# Writes FILE.sha256 beside FILE, in the form sha256sum reads back
# ("<hash>  <name>"), and prints the same line.
#   cmake -DFILE=<program> -P write_sha256.cmake
file(SHA256 "${FILE}" hash)
get_filename_component(name "${FILE}" NAME)
file(WRITE "${FILE}.sha256" "${hash}  ${name}\n")
message("${hash}  ${name}")
