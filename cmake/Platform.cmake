# Compiler settings shared by every target, and the per-platform differences in one place.
set(TX_WIN32 OFF)
if(WIN32)
  set(TX_WIN32 ON)
  set(TX_PLATFORM_DIR win32)
else()
  set(TX_PLATFORM_DIR linux)
endif()

add_library(tx_options INTERFACE)
target_compile_options(tx_options INTERFACE -Wall -Wextra -Wno-unused-parameter)
target_include_directories(tx_options INTERFACE ${PROJECT_SOURCE_DIR})
if(TX_WIN32)
  # Operators' files and tools on Windows expect Shift-JIS, so every narrow literal is CP932.
  target_compile_options(tx_options INTERFACE -finput-charset=UTF-8 -fexec-charset=CP932)
  target_compile_definitions(tx_options INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00)
  # Static runtime: the programs run from a bare folder (and under Wine) without MinGW DLLs.
  target_link_options(tx_options INTERFACE -static -static-libgcc -static-libstdc++)
endif()
