# Fault tests: the store on a full or read-only disk, a process killed while saving, junk in
# the history and settings files.
add_library(marivane_faultcheck STATIC faults/PostFolderCheck.cpp)
target_include_directories(marivane_faultcheck PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/faults)
target_link_libraries(marivane_faultcheck PUBLIC marivane_testsupport)

# The process the tests kill or starve of disk room.
add_executable(marivane_fault_child faults/fault_child.cpp)
target_link_libraries(marivane_fault_child PRIVATE marivane_core)

foreach(name tst_StoreOnFullDisk tst_KilledWhileSaving tst_DamagedFiles)
    marivane_test(faults/${name}.cpp LIBS marivane_faultcheck)
    target_compile_definitions(${name} PRIVATE FAULT_CHILD="$<TARGET_FILE:marivane_fault_child>")
    add_dependencies(${name} marivane_fault_child)
endforeach()

# Every file the program keeps reaches the disk before its name appears.
add_test(NAME durable_writes
         COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/faults/durable_writes.py
                 $<TARGET_FILE:marivane_fault_child> ${CMAKE_CURRENT_SOURCE_DIR}/../resources/icons/A_MAIN-32.png)
