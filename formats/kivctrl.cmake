# The JPEG and TIFF readers decode through libjpeg and libtiff.
pkg_check_modules(KIV_IMAGE_LIBS REQUIRED IMPORTED_TARGET libjpeg libtiff-4)
kiv_link(PkgConfig::KIV_IMAGE_LIBS)
# Rich text notes are laid out with Pango and rendered with Cairo; only their renderer sees
# those headers.
pkg_check_modules(KIV_RICHTEXT REQUIRED IMPORTED_TARGET pangocairo)
set(kiv_richtext_options ${KIV_RICHTEXT_CFLAGS_OTHER})
foreach(dir IN LISTS KIV_RICHTEXT_INCLUDE_DIRS)
  list(APPEND kiv_richtext_options -isystem ${dir})
endforeach()
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/rtf_render.cpp PROPERTIES
  COMPILE_OPTIONS "${kiv_richtext_options}")
target_link_libraries(kivctrl PRIVATE ${KIV_RICHTEXT_LINK_LIBRARIES})
