# The library exports exactly the 31 functions of its interface: nothing more, nothing less.
set(expected
    kvttsGetCount kvttsGetDeviceCount kvttsGetDeviceNameA kvttsGetDeviceNameW kvttsGetFirstVoiceA
    kvttsGetFirstVoiceW kvttsGetNextVoiceA kvttsGetNextVoiceW kvttsGetPitch kvttsGetSpeed
    kvttsGetVoiceA kvttsGetVoiceW kvttsGetVolume kvttsInitA kvttsInitW kvttsPause kvttsResume
    kvttsSave kvttsSetDevice kvttsSetNotify kvttsSetPitch kvttsSetSpeed kvttsSetVoiceA
    kvttsSetVoiceW kvttsSetVolume kvttsSpeak2A kvttsSpeak2W kvttsSpeakA kvttsSpeakW kvttsStop
    kvttsUninit)
execute_process(COMMAND nm -D --defined-only ${LIBRARY} OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REPLACE "\n" ";" lines "${symbols}")
set(exported)
foreach(line IN LISTS lines)
    # "ADDRESS TYPE NAME"; version nodes (type A) are not functions.
    if(line MATCHES "^[0-9a-fA-F]+ ([A-Za-z]) ([^ ]+)$" AND NOT CMAKE_MATCH_1 STREQUAL "A")
        list(APPEND exported ${CMAKE_MATCH_2})
    endif()
endforeach()
list(SORT exported)
list(SORT expected)
if(NOT exported STREQUAL expected)
    message(FATAL_ERROR "exported: ${exported}\nexpected: ${expected}")
endif()
