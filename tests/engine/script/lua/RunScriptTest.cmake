# Runs one script test: cmake -DMODE=... -DINTERPRETER=... -DSCRIPT=... -P RunScriptTest.cmake
#
# MODE reference   our interpreter and REFERENCE (lua5.1) run SCRIPT; stdout must match.
# MODE bit32       TRANSLATOR (run by REFERENCE, lua5.2) turns SCRIPT's bitwise operators
#                  into bit32 calls; the translation's output must match ours.
# MODE roundtrip   SCRIPT is loaded, dumped with string.dump, loaded back from the dump
#                  and run; the output must match running SCRIPT itself.
# Backquotes are read as quotes on both sides, since the reference quotes names in
# messages with '...' where the dialect writes `...'. Every run must exit with 0.

get_filename_component(script_dir "${SCRIPT}" DIRECTORY)
get_filename_component(script_name "${SCRIPT}" NAME)
get_filename_component(script_stem "${SCRIPT}" NAME_WE)

function(run_script out_var label)
    execute_process(COMMAND ${ARGN}
        WORKING_DIRECTORY "${run_dir}"
        OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc
        TIMEOUT 120)
    if(NOT rc EQUAL 0)
        message(FATAL_ERROR "${label} failed (${rc}) on ${SCRIPT}\n--- stdout\n${out}\n--- stderr\n${err}")
    endif()
    string(REPLACE "`" "'" out "${out}")
    set(${out_var} "${out}" PARENT_SCOPE)
endfunction()

function(compare ours theirs what)
    if(ours STREQUAL theirs)
        return()
    endif()
    set(a "${WORK_DIR}/${script_stem}.ours.txt")
    set(b "${WORK_DIR}/${script_stem}.${what}.txt")
    file(WRITE "${a}" "${ours}")
    file(WRITE "${b}" "${theirs}")
    execute_process(COMMAND diff -u "${b}" "${a}" OUTPUT_VARIABLE difference)
    message(FATAL_ERROR "${SCRIPT}: output differs from ${what} (- ${what}, + ours)\n${difference}")
endfunction()

file(MAKE_DIRECTORY "${WORK_DIR}")
set(run_dir "${script_dir}")

if(MODE STREQUAL "reference")
    run_script(ours "our interpreter" "${INTERPRETER}" "${script_name}")
    run_script(theirs "${REFERENCE}" "${REFERENCE}" "${script_name}")
    compare("${ours}" "${theirs}" "reference")
elseif(MODE STREQUAL "bit32")
    run_script(ours "our interpreter" "${INTERPRETER}" "${script_name}")
    set(translated_dir "${WORK_DIR}/bit32")
    file(MAKE_DIRECTORY "${translated_dir}")
    run_script(translation "the translator" "${REFERENCE}" "${TRANSLATOR}" "${SCRIPT}")
    file(WRITE "${translated_dir}/${script_name}" "${translation}")
    set(run_dir "${translated_dir}")
    run_script(theirs "${REFERENCE}" "${REFERENCE}" "${script_name}")
    compare("${ours}" "${theirs}" "reference")
elseif(MODE STREQUAL "roundtrip")
    run_script(ours "our interpreter" "${INTERPRETER}" "${script_name}")
    # The driver runs beside a copy of the script's folder, so the script keeps its
    # chunk name and finds the files it loads.
    set(run_dir "${WORK_DIR}/files")
    file(REMOVE_RECURSE "${run_dir}")
    file(COPY "${script_dir}/" DESTINATION "${run_dir}")
    file(WRITE "${run_dir}/roundtrip_driver.lua"
        "local source = assert(loadfile(\"${script_name}\"))\n"
        "local chunk = string.dump(source)\n"
        "assert(string.byte(chunk, 1) == 27, \"not a precompiled chunk\")\n"
        "local loaded = assert(loadstring(chunk))\n"
        "loaded()\n")
    run_script(dumped "the round trip" "${INTERPRETER}" "roundtrip_driver.lua")
    compare("${dumped}" "${ours}" "direct run")
else()
    message(FATAL_ERROR "unknown MODE '${MODE}'")
endif()
