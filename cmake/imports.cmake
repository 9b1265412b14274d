# The DLLs a shipped program may import at load time, and the build step
# that holds every program to them.
#
# Windows looks for an imported DLL in the program's own folder first,
# unless it is one of its known DLLs, which come from the system folder
# only. setup.exe runs with administrator rights from wherever it was
# downloaded to, so a DLL left beside it under the name of any other import
# would run with those rights before the program's first instruction. Any
# other DLL is loaded at run time from the system folder (toolkit/safe_dll.h).
#
# The known DLLs: the values of
# HKLM\System\CurrentControlSet\Control\Session Manager\KnownDLLs on
# Windows 10 and 11, plus COMCTL32, which the programs' manifests take from
# the side-by-side store. Names are compared without regard to case.
set(QV_LOAD_TIME_DLLS
  advapi32.dll clbcatq.dll combase.dll comdlg32.dll coml2.dll difxapi.dll
  gdi32.dll gdiplus.dll imagehlp.dll imm32.dll kernel32.dll msctf.dll
  msvcrt.dll normaliz.dll nsi.dll ole32.dll oleaut32.dll psapi.dll
  rpcrt4.dll sechost.dll setupapi.dll shcore.dll shell32.dll shlwapi.dll
  user32.dll wldap32.dll wow64.dll wow64cpu.dll wow64win.dll wowarmhw.dll
  ws2_32.dll xtajit.dll
  comctl32.dll)

if(CMAKE_SCRIPT_MODE_FILE)
  # cmake -DIMAGE=<program> -DOBJDUMP=<objdump> [-DALLOWED=<names>]
  #       [-DREMOVE_ON_FAILURE=ON] -P imports.cmake
  # Fails naming every import outside the list. The build removes a program
  # that fails, so that the next build checks it again.
  cmake_minimum_required(VERSION 3.20)
  if(NOT DEFINED ALLOWED)
    set(ALLOWED ${QV_LOAD_TIME_DLLS})
  endif()
  string(TOLOWER "${ALLOWED}" allowed)
  # Fails the check; the build removes a program that fails, so that the
  # next build checks it again.
  macro(refuse)
    if(REMOVE_ON_FAILURE)
      file(REMOVE "${IMAGE}")
    endif()
    message(FATAL_ERROR ${ARGV})
  endmacro()
  get_filename_component(program "${IMAGE}" NAME)
  # In the C locale: objdump translates its headings ("DLL Name") into the
  # language of the environment.
  execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C LANGUAGE= "${OBJDUMP}" -p "${IMAGE}"
                  OUTPUT_VARIABLE headers ERROR_VARIABLE problem RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot read the import table of ${program}: ${problem}")
  endif()
  string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${headers}")
  if(NOT lines)
    # Every program imports kernel32 at least: no names means the listing
    # was not understood.
    message(FATAL_ERROR "no imported DLL found in the listing of ${program}")
  endif()
  set(offending "")
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "^DLL Name: *" "" dll "${line}")
    string(STRIP "${dll}" dll)
    string(TOLOWER "${dll}" name)
    if(NOT name IN_LIST allowed)
      list(APPEND offending "${dll}")
    endif()
  endforeach()
  if(offending)
    list(JOIN offending ", " names)
    refuse(
      "${program} imports ${names} at load time, which is not one of Windows' known DLLs: "
      "Windows would look for it beside the program first. Load it from the system folder "
      "at run time (toolkit/safe_dll.h) instead.")
  endif()
  if(WIDE_TEXT)
    # A program whose texts are Unicode calls no ANSI function: one would
    # turn a name outside the system's code page into «?». The runtime's
    # own calls that carry none of the program's text are allowed.
    set(runtime_ansi GetStartupInfoA
        # the 32-bit unwinder looks up its own DLL by name
        GetModuleHandleA LoadLibraryA)
    string(REGEX MATCHALL "\t[0-9a-f]+\t +[0-9]+ +[A-Za-z0-9_]*[a-z0-9]A[\r\n]" found "${headers}")
    set(ansi "")
    foreach(entry IN LISTS found)
      string(REGEX REPLACE ".* ([A-Za-z0-9_]+)[\r\n]$" "\\1" function "${entry}")
      if(NOT function IN_LIST runtime_ansi)
        list(APPEND ansi "${function}")
      endif()
    endforeach()
    if(ansi)
      list(JOIN ansi ", " names)
      refuse("${program} imports the ANSI text functions ${names}: call their wide forms.")
    endif()
  endif()
  return()
endif()

# Checks the import table of a program after every link; WIDE_TEXT: also
# that it imports no ANSI text function.
function(qv_check_imports target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "WIDE_TEXT" "" "")
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -DIMAGE=$<TARGET_FILE:${target}> -DOBJDUMP=${CMAKE_OBJDUMP}
            -DREMOVE_ON_FAILURE=ON -DWIDE_TEXT=${arg_WIDE_TEXT} -P ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
    VERBATIM)
endfunction()
