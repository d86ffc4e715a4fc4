# Prints the figure a person checks a download against:
#   cmake -DFILE=path/to/mirvane.exe -P print_sha256.cmake
file(SHA256 "${FILE}" hash)
get_filename_component(name "${FILE}" NAME)
message("${name} SHA-256 ${hash}")
