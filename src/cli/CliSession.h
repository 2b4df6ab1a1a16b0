#pragma once

#include "BatchPlan.h"
#include "CommandLine.h"
#include "PictureSource.h"
#include "TerminalViews.h"

#include "AppState.h"
#include "ControllerLink.h"
#include "ControllerOperations.h"
#include "PortCatalog.h"
#include "VirtualController.h"

#include <cstdio>
#include <memory>
#include <optional>

// One run of vantrel-cli: the same state, port catalog and controller link the window program
// builds, with the terminal standing in for the window. Everything that can be checked without
// the controller (usage, files, the address) is checked before the port is opened.
class CliSession
{
public:
    // Progress is drawn on `progressStream`; null draws none (standard error is no terminal).
    CliSession(const CliRequest& request, std::FILE* progressStream);

    // Runs the command; the exit status.
    int run();

private:
    int listPorts();
    int query();
    int send();
    int download();
    int convert();
    // Any picture Qt reads, or every picture of a folder, converted for --type with the settings
    // asked for.
    int convertPicture(const QString& path);
    int convertFolder(const QString& folder);
    int clear();
    int upload();
    int text();
    int attributes();
    int attributeFile();
    int batch();

    // One port's part of a batch (CliBatch.cpp): its rows of the report, resumed ones included,
    // how long it took, and its exit status.
    struct ShareResult
    {
        BatchResults results;
        qint64 ms = 0;
        int exitCode = 0;
    };
    // Runs a share in a session of its own for that port, on the calling thread: the link, its
    // port and its waits all belong to the thread that builds them.
    static ShareResult runShareSession(const CliRequest& request, const BatchPlan& plan,
                                       const BatchShare& share, BatchProgressLine& progress,
                                       int portIndex);
    ShareResult runShare(const BatchPlan& plan, const BatchShare& share,
                         BatchProgressLine& progress, int portIndex);
    void loadBatch(const BatchPlan& plan, const BatchShare& share);

    // The catalog number the request's --port names (0 when there is none) and opening it.
    int requestedPortNumber();
    std::unique_ptr<SerialPort> simulatorPort();
    std::optional<int> openPort();
    std::optional<QString> checkedAddress(qint16 typeCode);
    // For the commands that take --type and --address: the type, the checked address and the
    // open port; the exit status when one of them fails.
    std::optional<int> openAtAddress(QString& address);
    // The data text of a picture file of the current type: a bitmap encoded (an LCD 36x24 one with
    // the LED colours asked for), a switch data file as it holds it. Nothing when a bitmap cannot
    // be read; the encoder has said so.
    std::optional<QString> pictureData(const QString& path, const PictureSource& source);
    // The conversion asked for, for --type; nothing when no type was given (said so).
    std::optional<ConversionSettings> conversionSettings(const QString& input) const;
    // An LCD 36x24 picture as its whole block, with the LED colours asked for; others unchanged.
    QString withLedColours(qint16 typeCode, const QString& picture) const;
    // Prints the upload or writes it to --output; why it could not, or the empty text.
    QString writeUpload(const QByteArray& uploaded) const;
    // Write a whole picture of the type to --output as its name asks: the accepted bitmap for
    // .bmp, an image of what the switch shows for another name an image format has, a switch
    // data file otherwise. From the picture as the controller stores it, or from an accepted
    // bitmap; why it could not, or the empty text.
    QString writePicture(qint16 typeCode, const QByteArray& payload) const;
    QString writeConverted(qint16 typeCode, const QByteArray& bitmap) const;
    QString writeImage(const QImage& image) const;
    QString writeOutput(const QByteArray& bytes, const QString& outcome) const;

    void printReply() const;
    // After a command: the exit status when the line was blocked (and why, on standard error).
    std::optional<int> lineBlocked() const;
    // The exit status of a command's end: a blocked line as lineBlocked() reports it, else
    // what the controller answered.
    int exitCodeForAnswer(ReplyOutcome answer) const;
    int fail(const QString& why) const;
    int finish(int exitCode);

    CliRequest m_request;
    std::FILE* m_progressStream;
    AppState m_state;
    VirtualController m_controller; // behind --port sim; outlives the catalog's ports
    PortCatalog m_catalog;
    ProgressMeter m_meter;
    TerminalShell m_shell;
    ControllerLink m_link;
    bool m_portLost = false;
};
