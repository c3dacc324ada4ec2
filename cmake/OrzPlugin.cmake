# Settings shared by the three plug-ins, so tests and hosts that link a plug-in's shared code
# see exactly the same configuration.

# A sanitizer build serves only the tests labelled "sanitize", which load the VST3 and LV2 bundles:
# it builds no Standalone, and so none of the audio device and file modules only that one needs.
if(ORZ_SANITIZER)
    set(ORZ_PLUGIN_FORMATS VST3 LV2)
    set(ORZ_JUCE_APP_MODULES juce::juce_audio_processors juce::juce_gui_extra)
else()
    set(ORZ_PLUGIN_FORMATS VST3 LV2 Standalone)
    set(ORZ_JUCE_APP_MODULES juce::juce_audio_utils)
endif()
if(APPLE AND NOT ORZ_SANITIZER)
    list(APPEND ORZ_PLUGIN_FORMATS AU)
endif()

# JUCE settings every target that compiles JUCE code takes. PUBLIC so that code linking a
# plug-in's shared-code library compiles against the same module configuration.
add_library(orz_juce_settings INTERFACE)
target_compile_definitions(orz_juce_settings INTERFACE
    JUCE_INCLUDE_ZLIB_CODE=0
    JUCE_INCLUDE_PNGLIB_CODE=0
    JUCE_INCLUDE_JPEGLIB_CODE=0
    JUCE_USE_FLAC=0
    JUCE_USE_OGGVORBIS=0
    JUCE_WEB_BROWSER=0
    JUCE_USE_CURL=0
    JUCE_JACK=0
    JUCE_VST3_CAN_REPLACE_VST2=0
    JUCE_DISPLAY_SPLASH_SCREEN=0
    JUCE_MODAL_LOOPS_PERMITTED=1)
if(NOT APPLE)
    target_link_libraries(orz_juce_settings INTERFACE "-Wl,--no-as-needed" z png jpeg)
endif()

# orz_add_plugin(<Target> CODE <4cc> DESCRIPTION <text> SOURCES ... LIBS ...)
function(orz_add_plugin target)
    cmake_parse_arguments(ARG "" "CODE;DESCRIPTION" "SOURCES;LIBS" ${ARGN})
    string(TOLOWER "${target}" lower)

    juce_add_plugin(${target}
        PRODUCT_NAME "${target}"
        PLUGIN_NAME "${target}"
        COMPANY_NAME "Orlintz Engineer"
        BUNDLE_ID "com.orlintz.${lower}"
        PLUGIN_MANUFACTURER_CODE Orlz
        PLUGIN_CODE ${ARG_CODE}
        DESCRIPTION "${ARG_DESCRIPTION}"
        VERSION 2.0.0
        FORMATS ${ORZ_PLUGIN_FORMATS}
        IS_SYNTH FALSE
        NEEDS_MIDI_INPUT FALSE
        NEEDS_MIDI_OUTPUT FALSE
        IS_MIDI_EFFECT FALSE
        EDITOR_WANTS_KEYBOARD_FOCUS TRUE
        LV2URI "urn:orlintz:${lower}"
        VST3_CATEGORIES Fx Tools
        AU_MAIN_TYPE kAudioUnitType_Effect
        AU_EXPORT_PREFIX "${target}AU"
        COPY_PLUGIN_AFTER_BUILD FALSE)

    target_sources(${target} PRIVATE ${ARG_SOURCES})
    target_include_directories(${target} PUBLIC "${PROJECT_SOURCE_DIR}")

    target_link_libraries(${target}
        PRIVATE
            ${ARG_LIBS}
            ${ORZ_JUCE_APP_MODULES}
            juce::juce_dsp
        PUBLIC
            orz_juce_settings
            juce::juce_recommended_config_flags
            juce::juce_recommended_warning_flags)
endfunction()

# Lets a test or benchmark compile against a plug-in's shared code without compiling its own
# copy of JUCE: same include paths and definitions, JUCE's objects come from the library.
function(orz_link_plugin_code target plugin)
    target_link_libraries(${target} PRIVATE ${plugin})
    target_include_directories(${target} PRIVATE $<TARGET_PROPERTY:${plugin},INCLUDE_DIRECTORIES>)
    target_compile_definitions(${target} PRIVATE $<TARGET_PROPERTY:${plugin},COMPILE_DEFINITIONS>)
endfunction()
