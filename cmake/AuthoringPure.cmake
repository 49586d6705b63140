# The authors' tool's pure page rules (pack and check), with the presenter's
# pure rules they stand on: the sources that build natively, for the native
# test drivers and the fuzz targets. Every unit of authoring/scan/ is pure.
#   include(AuthoringPure.cmake) with ROOT set: LUMIVANE_AUTHORING_PURE
file(GLOB LUMIVANE_AUTHORING_SCAN CONFIGURE_DEPENDS ${ROOT}/authoring/scan/*.cpp)
set(LUMIVANE_AUTHORING_PURE
    ${ROOT}/authoring/PackPage.cpp ${ROOT}/authoring/MarkerNear.cpp
    ${ROOT}/authoring/CheckRead.cpp ${ROOT}/authoring/CheckWords.cpp
    ${ROOT}/authoring/AuthorEscape.cpp
    ${LUMIVANE_AUTHORING_SCAN}
    ${ROOT}/builder/PageRules.cpp ${ROOT}/base/TextRules.cpp ${ROOT}/files/LineSplit.cpp)
