#pragma once

#include <QString>

// Where the service's API answers: www.tumblr.com port 80, unless MARIVANE_API_ENDPOINT
// ("host:port") names another place (tests, compatible services).
struct ApiEndpoint {
    QString Host;
    quint16 Port = 80;
};
ApiEndpoint ServiceEndpoint();

// The application name the requests identify themselves with.
QString ClientApplication();
