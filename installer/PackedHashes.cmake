# Writes the SHA-256 of every packed file as NSIS defines, PACKED_SHA256_<arch>_<file>, so the
# setup can check that what it put in place is exactly what it packed, and record that fingerprint.
# Run as: cmake -DSTAGE=<stage folder> -DFILES=<file;...> -DOUTPUT=<.nsh> -P PackedHashes.cmake
set(text "; Made by PackedHashes.cmake from the staged files.\n")
foreach(arch x86 x64)
  foreach(file_name IN LISTS FILES)
    file(SHA256 ${STAGE}/${arch}/${file_name} hash)
    string(APPEND text "!define PACKED_SHA256_${arch}_${file_name} \"${hash}\"\n")
  endforeach()
endforeach()
file(WRITE ${OUTPUT} "${text}")
