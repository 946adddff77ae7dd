# Tests of the service part. They talk to fake_service.py on 127.0.0.1 only.
add_library(marivane_fakeservice STATIC service/FakeService.cpp)
target_link_libraries(marivane_fakeservice PUBLIC marivane_testsupport Qt6::Network)
target_compile_definitions(marivane_fakeservice PUBLIC
    MARIVANE_PYTHON="${Python3_EXECUTABLE}"
    MARIVANE_FAKE_SERVICE="${CMAKE_CURRENT_SOURCE_DIR}/service/fake_service.py"
    MARIVANE_FAKE_API="${CMAKE_CURRENT_SOURCE_DIR}/service/fake_api.py"
    MARIVANE_FAKE_BROWSER="${CMAKE_CURRENT_SOURCE_DIR}/service/fake_browser.py")

marivane_test(service/tst_modUpload.cpp LIBS marivane_fakeservice)
marivane_test(service/tst_frmSender.cpp GUI LIBS marivane_fakeservice marivane_sessionbus)
marivane_test(service/tst_frmGetGroupsList.cpp GUI LIBS marivane_fakeservice marivane_sessionbus)
marivane_test(service/tst_modProxy.cpp GUI LIBS marivane_fakeservice)
marivane_test(service/tst_modUploadApi.cpp LIBS marivane_fakeservice)

# A send run in a child process that the test kills mid-upload.
add_executable(send_child service/send_child.cpp)
target_link_libraries(send_child PRIVATE marivane_gui)
marivane_test(service/tst_SendInterrupted.cpp LIBS marivane_fakeservice)
add_dependencies(tst_SendInterrupted send_child)
target_compile_definitions(tst_SendInterrupted PRIVATE SEND_CHILD="$<TARGET_FILE:send_child>")
