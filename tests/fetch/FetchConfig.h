#pragma once

#include <QByteArray>
#include <QString>

// A GLAVEN.CFG for the local radar server of RadarServer.h, as Save writes it:
// three entries of two sites, sequential names from 1.
struct FetchConfig {
    quint16 port = 0;
    QByteArray password = "secret";
    QByteArray minutes = "3";
    QByteArray rounds = "2";
    QString imageDirectory;

    static constexpr const char *Entries = "\"KENX\"\r\n\"Albany, NY     Base Reflectivity\"\r\n0\r\n"
                                           "\"KENXanbv.gif\"\r\n\"Albany, NY     Base Velocity\"\r\n1\r\n"
                                           "\"KABRxn1r.gif\"\r\n\"Aberdeen, SD   1-Hr Precip Total\"\r\n2\r\n";

    QByteArray bytes(const QByteArray &entries = Entries) const
    {
        return "\"127.0.0.1\"\r\n" + QByteArray::number(port) + "\r\n\"demo\"\r\n\"" + password + "\"\r\n" + minutes +
               "\r\n" + rounds + "\r\n1\r\n\"" + imageDirectory.toLocal8Bit() + "/\"\r\n" + entries;
    }
};
