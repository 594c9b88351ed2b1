// A program that claims a library as the player does, for the tests that
// need a second process: it prints "first" (then each request it gets, as
// "files: a|b") or, when another process holds the library, hands its
// arguments over and prints "handed" or "unanswered".

#include "app/singleinstance.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return 2;
    SingleInstance instance(args[0]);
    const auto say = [](const QString& line) {
        std::printf("%s\n", qPrintable(line));
        std::fflush(stdout);
    };
    switch (instance.claim()) {
    case SingleInstance::Claim::First:
        QObject::connect(&instance, &SingleInstance::requested, [&say](const QStringList& files) {
            say(QStringLiteral("files: ") + files.join(u'|'));
        });
        say(QStringLiteral("first"));
        return app.exec();
    case SingleInstance::Claim::Running:
        say(instance.handOver(args.mid(1), 3000) ? QStringLiteral("handed")
                                                 : QStringLiteral("unanswered"));
        return 0;
    case SingleInstance::Claim::Unguarded:
        say(QStringLiteral("unguarded"));
        return 0;
    }
    return 2;
}
