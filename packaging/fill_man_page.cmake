# Builds a man page: IN with each @NAME@ of the script FIGURES filled in, written to OUT.
#   cmake -DFIGURES=… -DIN=… -DOUT=… -P fill_man_page.cmake
include(${FIGURES})
configure_file(${IN} ${OUT} @ONLY)
