# Copies the shipped data folders from SRC to DST. A file is copied when it is
# missing at DST or the shipped one is newer; files only present at DST (a
# user's macros, say) are left alone.
foreach(sub setting i18n gun macro img)
  file(GLOB_RECURSE files RELATIVE ${SRC}/${sub} ${SRC}/${sub}/*)
  file(MAKE_DIRECTORY ${DST}/${sub})
  foreach(f IN LISTS files)
    if(f MATCHES "\\.svg$" OR f MATCHES "(^|/)\\.")
      continue()
    endif()
    set(from ${SRC}/${sub}/${f})
    set(to ${DST}/${sub}/${f})
    if(NOT EXISTS ${to} OR ${from} IS_NEWER_THAN ${to})
      get_filename_component(d ${to} DIRECTORY)
      file(MAKE_DIRECTORY ${d})
      file(COPY_FILE ${from} ${to})
    endif()
  endforeach()
endforeach()
