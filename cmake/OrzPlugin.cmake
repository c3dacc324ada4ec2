# Settings shared by the three plug-ins, so tests and hosts that link a plug-in's shared code
# see exactly the same configuration.

# A sanitizer build serves only the tests labelled "sanitize", which load the VST3 and LV2 bundles:
# it builds no Standalone, and so none of the audio device and file modules only that one needs.
if(ORZ_SANITIZER)
    set(ORZ_PLUGIN_FORMATS VST3 LV2)
    set(ORZ_JUCE_MODULES juce_audio_processors juce_gui_extra juce_dsp)
else()
    set(ORZ_PLUGIN_FORMATS VST3 LV2 Standalone)
    set(ORZ_JUCE_MODULES juce_audio_utils juce_dsp)
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
    JUCE_DISPLAY_SPLASH_SCREEN=0)
if(NOT APPLE)
    target_link_libraries(orz_juce_settings INTERFACE "-Wl,--no-as-needed" z png jpeg)
endif()

# The JUCE modules every plug-in (and the tests' own JUCE) compiles.
set(ORZ_JUCE_MODULE_TARGETS ${ORZ_JUCE_MODULES})
list(TRANSFORM ORZ_JUCE_MODULE_TARGETS PREPEND "juce::")

# JUCE's headers in the plug-ins' configuration, without its sources: our static libraries compile
# against this once, and take JUCE's objects from whatever links them (a plug-in, or the tests' JUCE).
add_library(orz_juce_headers INTERFACE)
foreach(module ${ORZ_JUCE_MODULES})
    target_include_directories(orz_juce_headers INTERFACE
        $<TARGET_PROPERTY:${module},INTERFACE_INCLUDE_DIRECTORIES>)
    target_compile_definitions(orz_juce_headers INTERFACE
        $<TARGET_PROPERTY:${module},INTERFACE_COMPILE_DEFINITIONS>)
endforeach()
target_compile_definitions(orz_juce_headers INTERFACE JUCE_GLOBAL_MODULE_SETTINGS_INCLUDED=1)
target_link_libraries(orz_juce_headers INTERFACE orz_juce_settings juce::juce_recommended_config_flags)

# orz_add_library(<name> <sources>...): a static library of our own code, built once and linked into
# every plug-in and test that needs it. Hidden symbols like the plug-ins' own code, so that two of
# our plug-ins loaded into one host never bind to each other's copy.
function(orz_add_library name)
    add_library(${name} STATIC ${ARGN})
    target_include_directories(${name} PUBLIC "${PROJECT_SOURCE_DIR}")
    target_link_libraries(${name}
        PUBLIC orz_juce_headers
        PRIVATE juce::juce_recommended_warning_flags)
    set_target_properties(${name} PROPERTIES
        POSITION_INDEPENDENT_CODE ON
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON)
endfunction()

# orz_add_plugin(<Target> CODE <4cc> DESCRIPTION <text> SOURCES ... LIBS ...)
# The version is the project's.
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
        VERSION ${PROJECT_VERSION}
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
        PUBLIC
            ${ARG_LIBS}
        PRIVATE
            ${ORZ_JUCE_MODULE_TARGETS}
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
