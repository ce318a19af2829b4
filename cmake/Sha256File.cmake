# cmake -DINPUT=<file> -DOUTPUT=<file> -P Sha256File.cmake
#
# Writes the SHA-256 of INPUT to OUTPUT as 64 lower-case hexadecimal digits
# without a line end, by way of a temporary file, so that OUTPUT is never
# half written.
file(SHA256 "${INPUT}" digest)
file(WRITE "${OUTPUT}.tmp" "${digest}")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
