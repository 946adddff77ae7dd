# Sources of the service windows and their core parts.
target_sources(marivane_core PRIVATE
    components/BodyDevice.cpp
    components/HTTPFormFields.cpp
    components/HTTPRequest.cpp
    components/ProxySettings.cpp
    service/modApiHost.cpp
    service/modApiSession.cpp
    service/modCurrentApi.cpp
    service/modNpfPost.cpp
    service/CurrentApiAuth.cpp
    service/modUpload.cpp
    service/modUploadApi.cpp
    service/modTumblelogs.cpp
)
target_sources(marivane_gui PRIVATE
    components/ProxySettingsDialog.cpp
    app/modProxy.cpp
    service/frmSender.cpp
    service/frmGetGroupsList.cpp
    service/ServiceAccountBoxes.cpp
)
