# Run by the install: the per-user desktop entry and icon, so that the desktop's application
# menu starts the program installed in CMAKE_INSTALL_PREFIX. ICON_SOURCE names the icon,
# PRODUCT_NAME the program's name.
# A desktop entry of the same name that this install did not write is the user's and stays.
set(data_home "$ENV{XDG_DATA_HOME}")
if(NOT IS_ABSOLUTE "${data_home}")
  set(data_home "$ENV{HOME}/.local/share")
endif()
set(entry "${data_home}/applications/trevano-lite.desktop")
set(icon_dir "${data_home}/icons/hicolor/64x64/apps")
set(marker "X-Trevano-Lite-Installed=true")

# The program's path as one quoted argument of Exec (backslash, quote, backquote and dollar
# escaped, then each backslash doubled for the file's string format).
get_filename_component(program "${CMAKE_INSTALL_PREFIX}/trevano" ABSOLUTE)
string(REPLACE "\\" "\\\\" exec "${program}")
string(REPLACE "\"" "\\\"" exec "${exec}")
string(REPLACE "`" "\\`" exec "${exec}")
string(REPLACE "$" "\\$" exec "${exec}")
string(REPLACE "\\" "\\\\" exec "${exec}")
string(REPLACE "%" "%%" exec "${exec}")

file(INSTALL "${ICON_SOURCE}" DESTINATION "${icon_dir}" RENAME trevano-lite.png)

if(EXISTS "${entry}")
  file(READ "${entry}" present)
  string(FIND "${present}" "${marker}" ours)
  if(ours EQUAL -1)
    message(STATUS "Kept (not written by this install): ${entry}")
    return()
  endif()
endif()
message(STATUS "Installing: ${entry}")
file(MAKE_DIRECTORY "${data_home}/applications")
file(WRITE "${entry}" "[Desktop Entry]
Type=Application
Version=1.0
Name=${PRODUCT_NAME}
GenericName=Guard tour
GenericName[de]=Wächterkontrolle
Comment=Download guard-tour readers and print patrol reports
Comment[de]=Wächterkontroll-Lesegeräte auslesen und Rundgangsberichte drucken
Exec=\"${exec}\"
Icon=trevano-lite
Terminal=false
Categories=Office;
${marker}
")
