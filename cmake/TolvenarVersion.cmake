# The version is set once, in project(): the package's changelog, the
# AppStream release and the manual pages must name the same one, or the
# configure stops here and says which disagrees. The programs get it from
# the generated header of the tolvenar_version target.

function(tolvenar_check_version what file regex)
    file(STRINGS ${file} lines REGEX "${regex}" LIMIT_COUNT 1)
    if(lines MATCHES "${regex}")
        set(found ${CMAKE_MATCH_1})
    else()
        set(found "(none)")
    endif()
    if(NOT found STREQUAL PROJECT_VERSION)
        message(FATAL_ERROR "${what} (${file}) names version ${found}; "
                            "the project is ${PROJECT_VERSION} (top CMakeLists.txt)")
    endif()
endfunction()

# debian/changelog: the newest entry comes first; a Debian revision
# (0.27.0-1) is the package's own.
tolvenar_check_version("The package's changelog" ${PROJECT_SOURCE_DIR}/debian/changelog
                       "^tolvenar \\(([0-9.]+)(-[^)]*)?\\)")
# The newest release comes first in the metainfo.
tolvenar_check_version("The AppStream metainfo" ${PROJECT_SOURCE_DIR}/res/tolvenar.metainfo.xml
                       "<release version=\"([^\"]+)\"")
file(GLOB tolvenar_man_pages ${PROJECT_SOURCE_DIR}/docs/man/*.[18])
foreach(page IN LISTS tolvenar_man_pages)
    tolvenar_check_version("The manual page" ${page} "^\\.TH .*\"Tolvenar ([^\"]+)\"")
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
             ${PROJECT_SOURCE_DIR}/debian/changelog ${PROJECT_SOURCE_DIR}/res/tolvenar.metainfo.xml
             ${tolvenar_man_pages})

# #include "tolvenar_version.h" gives TOLVENAR_VERSION, e.g. "0.27.0", for --version.
set(tolvenar_version_dir ${CMAKE_BINARY_DIR}/include/version)
configure_file(${CMAKE_CURRENT_LIST_DIR}/tolvenar_version.h.in
               ${tolvenar_version_dir}/tolvenar_version.h @ONLY)
add_library(tolvenar_version INTERFACE)
target_include_directories(tolvenar_version INTERFACE ${tolvenar_version_dir})
