# cmake -DZIP=file.zip -DINTO=folder -P Unpack.cmake: unpacks the zip into the
# folder, emptied first.
file(REMOVE_RECURSE ${INTO})
file(MAKE_DIRECTORY ${INTO})
file(ARCHIVE_EXTRACT INPUT ${ZIP} DESTINATION ${INTO})
