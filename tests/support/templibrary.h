#pragma once

#include "data/adoconnector.h"

#include <QTemporaryDir>

#include <memory>

// A fresh library database in a temporary folder, installed as the
// program's connector for the life of the object.
class TempLibrary {
public:
    TempLibrary();
    ~TempLibrary();
    TempLibrary(const TempLibrary&) = delete;
    TempLibrary& operator=(const TempLibrary&) = delete;

    ADO_Connector& db() { return *db_; }
    QString folder() const { return dir_.path(); }
    QString path() const { return dir_.path() + QStringLiteral("/DataBase/MelodaraPlayer.db"); }
    // Closes the database (the folder stays), so a window can open it.
    void close();
    void reopen();

    // Adds a song and returns its ID; the fields are those of write 55
    // (priority, genre IDs, artist ID, flags as "Yes"/"No", volume, count).
    struct Fields {
        int priority = 50;
        int genres[3] = {1, 1, 1};
        int artist = 1;
        bool breakOut = false;
        bool trend = false;
        int volume = 0;
        int count = 0;
    };
    // The song's file is "music/<title>.mp3" in the folder unless `path`
    // is given.
    int addSong(const QString& title, const Fields& fields, const QString& path = QString());
    int addSong(const QString& title) { return addSong(title, Fields()); }
    // Adds a genre (to all three genre tables) or an artist; returns its ID.
    int addGenre(const QString& name);
    int addArtist(const QString& name);
    // Shows exactly these columns, in this order.
    void showColumns(const QStringList& captions);

private:
    int lastId(int kind, const QString& name);

    QTemporaryDir dir_;
    std::unique_ptr<ADO_Connector> db_;
    ADO_Connector* previous_;
    int songs_ = 0;
};
