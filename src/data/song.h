#pragma once

#include <QString>

#include <array>

// One song in memory, filled from a song query's row. It never reads or
// writes the database itself.
class Song {
public:
    const QString& ArtistID() const { return artistId_; }
    void setArtistID(const QString& v) { artistId_ = v; }
    const QString& JanlID_1() const { return janlIds_[0]; }
    void setJanlID_1(const QString& v) { janlIds_[0] = v; }
    const QString& JanlID_2() const { return janlIds_[1]; }
    void setJanlID_2(const QString& v) { janlIds_[1] = v; }
    const QString& JanlID_3() const { return janlIds_[2]; }
    void setJanlID_3(const QString& v) { janlIds_[2] = v; }
    // The ID bare, or as the list key "Key_" + ID.
    const QString& KeyString() const { return keyString_; }
    void setKeyString(const QString& v) { keyString_ = v; }
    const QString& FilePath() const { return filePath_; }
    void setFilePath(const QString& v) { filePath_ = v; }
    const QString& Title() const { return title_; }
    void setTitle(const QString& v) { title_ = v; }
    qint16 Priority() const { return priority_; }
    // Values outside 0 to 100 are ignored; the previous value stays.
    void setPriority(int v) {
        if (v >= 0 && v <= 100)
            priority_ = qint16(v);
    }
    qint32 Count() const { return count_; }
    void setCount(qint32 v) { count_ = v; }
    const QString& Janl() const { return janl_; }
    void setJanl(const QString& v) { janl_ = v; }
    const QString& Artist() const { return artist_; }
    void setArtist(const QString& v) { artist_ = v; }
    // "True" or "False".
    const QString& BreakOut() const { return breakOut_; }
    void setBreakOut(const QString& v) { breakOut_ = v; }
    const QString& Trend() const { return trend_; }
    void setTrend(const QString& v) { trend_ = v; }
    qint32 Volume() const { return volume_; }
    void setVolume(qint32 v) { volume_ = v; }

private:
    // "1" is the "no genre"/"no artist" row, so a new song points to none.
    QString artistId_ = QStringLiteral("1");
    std::array<QString, 3> janlIds_ = {QStringLiteral("1"), QStringLiteral("1"),
                                       QStringLiteral("1")};
    QString keyString_;
    QString filePath_;
    QString title_;
    qint16 priority_ = 0;
    qint32 count_ = 0;
    QString janl_;
    QString artist_;
    QString breakOut_;
    QString trend_;
    qint32 volume_ = 0;
};
