# Start-up of the command-line tool is mostly the dynamic loader: every shared library it maps
# and every symbol it binds costs time on each run, `tgw --version` included. An executable
# that sets the property TGW_STATIC_DEPS links the small C libraries below from Debian's static
# archives instead (the libraries that link them name tgw_dep::<name>, which resolves per
# executable). Only libraries no other shared library of the process loads are taken: a second,
# static copy beside a shared one would split their state. The desktop program keeps the shared
# ones (Qt loads fontconfig and libjpeg itself), and so do the tests and benchmarks.
option(TGW_STATIC_DEPS_CLI "Link the command-line tool's small C libraries statically where static archives exist" ON)

set(tgw_static_wanted "$<BOOL:$<TARGET_PROPERTY:TGW_STATIC_DEPS>>")

# tgw_dep(<name> <shared target> <archive file names...>): tgw_dep::<name> links the shared target,
# or the archives (in that order, followed by the shared target's own dependencies given as
# STATIC_DEPS) when the executable being linked asks for them and all of them are found.
function(tgw_dep name shared)
    cmake_parse_arguments(PARSE_ARGV 2 arg "" "" "ARCHIVES;STATIC_DEPS")
    add_library(tgw_dep_${name} INTERFACE)
    add_library(tgw_dep::${name} ALIAS tgw_dep_${name})
    set(archives)
    foreach(file IN LISTS arg_ARCHIVES)
        find_library(TGW_STATIC_${file} NAMES ${file} NO_CACHE)
        if(NOT TGW_STATIC_${file})
            set(archives)
            break()
        endif()
        list(APPEND archives ${TGW_STATIC_${file}})
    endforeach()
    if(NOT TGW_STATIC_DEPS_CLI OR NOT archives)
        target_link_libraries(tgw_dep_${name} INTERFACE ${shared})
        return()
    endif()
    foreach(lib IN LISTS archives arg_STATIC_DEPS)
        target_link_libraries(tgw_dep_${name} INTERFACE "$<${tgw_static_wanted}:${lib}>")
    endforeach()
    target_link_libraries(tgw_dep_${name} INTERFACE "$<$<NOT:${tgw_static_wanted}>:${shared}>")
endfunction()

pkg_check_modules(SERIALPORT REQUIRED IMPORTED_TARGET libserialport)
tgw_dep(pugixml pugixml::pugixml ARCHIVES libpugixml.a)
tgw_dep(serialport PkgConfig::SERIALPORT ARCHIVES libserialport.a)
tgw_dep(jpeg JPEG::JPEG ARCHIVES libjpeg.a)
tgw_dep(gif GIF::GIF ARCHIVES libgif.a)
tgw_dep(fontconfig Fontconfig::Fontconfig ARCHIVES libfontconfig.a libexpat.a
    STATIC_DEPS Freetype::Freetype m)

# The order of the libraries the tool needs is the order the loader searches them in when it
# binds a symbol. libstdc++ binds some 1700 of its own symbols at start, and glib, harfbuzz and
# freetype hundreds of libc's: with libstdc++, libm and libc first those searches end at once
# instead of after a dozen libraries. No library the tool loads defines a symbol of those three
# (nm -D shows no overlap), so the order decides no binding, only how long finding it takes.
set(TGW_RUNTIME_FIRST "LINKER:--push-state,--no-as-needed,-lstdc++,-lm,-lc,--pop-state")
