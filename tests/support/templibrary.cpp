#include "templibrary.h"

TempLibrary::TempLibrary() : previous_(gConnector) {
    reopen();
}

TempLibrary::~TempLibrary() {
    close();
}

void TempLibrary::close() {
    db_.reset();
    gConnector = previous_;
}

void TempLibrary::reopen() {
    db_ = std::make_unique<ADO_Connector>(path());
    gConnector = db_.get();
}

int TempLibrary::addSong(const QString& title, const Fields& f, const QString& file) {
    const QString path =
        file.isEmpty() ? dir_.path() + QStringLiteral("/music/") + title + QStringLiteral(".mp3")
                       : file;
    const auto yesNo = [](bool b) { return b ? QStringLiteral("Yes") : QStringLiteral("No"); };
    if (!db_->adoSetData(Write::AddSong, {path, title}))
        return -1;
    const int id = ++songs_;
    db_->adoSetData(Write::UpdateSongKeepPath,
                    {path, title, QString::number(f.priority), QString::number(f.genres[0]),
                     QString::number(f.genres[1]), QString::number(f.genres[2]),
                     QString::number(f.artist), yesNo(f.breakOut), yesNo(f.trend),
                     QString::number(f.volume), QString::number(id), QString::number(f.count)});
    return id;
}

int TempLibrary::lastId(int kind, const QString& name) {
    Recordset rs;
    db_->adoGetData(kind, rs, name);
    return rs.Eof() ? -1 : rs.Field(QStringLiteral("ID")).toInt();
}

int TempLibrary::addGenre(const QString& name) {
    db_->adoSetData(Write::AddGenre, {name});
    return lastId(20, name);
}

int TempLibrary::addArtist(const QString& name) {
    db_->adoSetData(Write::AddArtist, {name});
    return lastId(19, name);
}

void TempLibrary::showColumns(const QStringList& captions) {
    db_->adoSetData(Write::ResetDisplayItems, {});
    for (int c = 0; c < captions.size(); ++c)
        db_->adoSetData(Write::ShowColumn, {QString::number(c + 1), captions[c]});
}
