#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// What a fault test expects every stored post of its run to hold.
struct ExpectedPost {
    QString group;
    QString tags;
    QString caption;
    QByteArray picture;
};

// The state of a data folder after a fault.
struct PostFolderState {
    int posts = 0;         // complete pairs that load and hold the expected post
    int lonePictures = 0;  // ".Picture" without ".Info": the manager shows and deletes them
    QStringList leftovers; // hidden temporary files a killed write left behind
    QStringList problems;  // anything that means a post was lost, damaged or half-written
};

// Checks every file of the folder that carries a post name: each ".Info" has its ".Picture",
// loads through LoadPost and holds the expected fields and picture bytes; each ".Picture" is
// the whole picture. History and links files are left alone.
PostFolderState CheckPostFolder(const QString& folder, const ExpectedPost& expected);
