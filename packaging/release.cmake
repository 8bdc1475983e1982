# The newest entry of the package changelog describes this release. It must
# name the project version, so that a new version cannot be built without its
# changelog entry, and its date is the date shown by the manual page.
#
# Sets OSTRAK_RELEASE_DATE (YYYY-MM-DD) and OSTRAK_RELEASE_MAINTAINER (the
# name and address that sign the entry).

set(OSTRAK_CHANGELOG ${CMAKE_CURRENT_LIST_DIR}/debian/changelog)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${OSTRAK_CHANGELOG})

file(STRINGS ${OSTRAK_CHANGELOG} _ostrak_title LIMIT_COUNT 1 REGEX "^ostrak \\(")
string(REPLACE "." "\\." _ostrak_version_pattern ${PROJECT_VERSION})
if(NOT _ostrak_title MATCHES "^ostrak \\(${_ostrak_version_pattern}\\) ")
  message(FATAL_ERROR "The newest entry of ${OSTRAK_CHANGELOG} must be for version "
                      "${PROJECT_VERSION}; it is: ${_ostrak_title}")
endif()

# The trailer line of that entry: " -- Name <address>  Sun, 06 Dec 2026 20:00:00 +0000".
file(STRINGS ${OSTRAK_CHANGELOG} _ostrak_trailer LIMIT_COUNT 1 REGEX "^ -- ")
if(NOT _ostrak_trailer MATCHES ", ([0-9][0-9]) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
  message(FATAL_ERROR "No date in the first trailer line of ${OSTRAK_CHANGELOG}: ${_ostrak_trailer}")
endif()
set(_ostrak_day ${CMAKE_MATCH_1})
set(_ostrak_year ${CMAKE_MATCH_3})
set(_ostrak_months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND _ostrak_months ${CMAKE_MATCH_2} _ostrak_month)
if(_ostrak_month EQUAL -1)
  message(FATAL_ERROR "Unknown month in ${OSTRAK_CHANGELOG}: ${_ostrak_trailer}")
endif()
math(EXPR _ostrak_month "${_ostrak_month} + 1" OUTPUT_FORMAT DECIMAL)
if(_ostrak_month LESS 10)
  string(PREPEND _ostrak_month 0)
endif()
set(OSTRAK_RELEASE_DATE ${_ostrak_year}-${_ostrak_month}-${_ostrak_day})

if(NOT _ostrak_trailer MATCHES "^ -- ([^<]+ <[^>]+>)  ")
  message(FATAL_ERROR "No maintainer in the first trailer line of ${OSTRAK_CHANGELOG}: ${_ostrak_trailer}")
endif()
set(OSTRAK_RELEASE_MAINTAINER "${CMAKE_MATCH_1}")
