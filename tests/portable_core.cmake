# The program's own folders hold portable C++ only: no operating-system header and no branch on
# the operating system; what the OS does lives behind platform/. Run with -DROOT=<source dir>.
set(os_headers "unistd|windows|winbase|winuser|fcntl|pthread|dirent|dlfcn|io|direct|process|poll|termios"
               "|sys/[a-z_]+|X11/[A-Za-z_]+|gtk/[a-z]+|gdk/[a-z]+|glib|glib-object|gio/[a-z]+|webkit2/[a-z0-9]+"
               "|objbase|ole2|oleauto|comdef|shellapi|shlobj|tlhelp32|mmsystem|commctrl|exdisp|mshtml|tchar")
string(JOIN "" os_headers ${os_headers})
set(os_macros "_WIN32|_WIN64|__linux__|__unix__|__APPLE__|_MSC_VER|__MINGW32__|__MINGW64__|__CYGWIN__|__GNUC__")
set(found "")
foreach(dir app view common proc ctl)
  file(GLOB_RECURSE files ${ROOT}/${dir}/*.cpp ${ROOT}/${dir}/*.h)
  foreach(file ${files})
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*(include[ \t]*<(${os_headers})\\.h>|(if|ifdef|ifndef|elif).*(${os_macros}))")
    foreach(line ${lines})
      file(RELATIVE_PATH name ${ROOT} ${file})
      string(APPEND found "  ${name}: ${line}\n")
    endforeach()
  endforeach()
endforeach()
if(found)
  message(FATAL_ERROR "operating-system code outside platform/:\n${found}")
endif()
message(STATUS "app/ view/ common/ proc/ ctl/: no operating-system header or branch")
