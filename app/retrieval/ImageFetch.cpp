#include "ImageFetch.h"

#include "Http1.h"
#include "ImageFiles.h"
#include "RetrievalDisplay.h"
#include "Waiter.h"
#include "catalogue/LeadingNumber.h"
#include "config/ImageDirectory.h"
#include "state/Counters.h"

#include <cmath>

namespace stormtap {

namespace {

// A GIF picture ends with this byte; a body without it was cut short.
constexpr char GifTrailer = 0x3B;

// STOP: the status line keeps its "Getting" text; the screen is gone anyway.
FetchOutcome stopped() { return FetchOutcome{FetchOutcome::Stopped, 0, QString()}; }

} // namespace

QString failureText(const FetchOutcome &outcome)
{
    return outcome.status != 0 ? QString::number(outcome.status) : outcome.reason;
}

ImageFetch::ImageFetch(State &state, HTTP1 &http, Waiter &waiter, RetrievalDisplay &display)
    : m_state(state), m_http(http), m_waiter(waiter), m_display(display)
{
    connect(&http, &HTTP1::header, this, &ImageFetch::headerArrived);
    connect(&http, &HTTP1::transfer, this, &ImageFetch::transferArrived);
    connect(&http, &HTTP1::endOfTransfer, this, &ImageFetch::transferEnded);
    connect(&http, &HTTP1::failure, this, &ImageFetch::failureReported);
}

void ImageFetch::showLine(qint16 current, const QString &text)
{
    const int row = current - 1;
    if (m_display.statusLineCount() >= current)
        m_display.removeStatusLine(row);
    m_display.insertStatusLine(row, text);
}

// True when STOP ended the pause: every wait ends at once then, so that a
// stopped run unwinds without delay.
bool ImageFetch::pause(int seconds)
{
    m_waiter.waitUntil(m_waiter.now() + seconds * 1000, [this] { return m_state.StopRequested != 0; });
    return m_state.StopRequested != 0;
}

// Every fetch that stores nothing says why on its line.
FetchOutcome ImageFetch::failed(qint16 current, const FetchOutcome &outcome)
{
    showLine(current,
             filePrefix(m_state.Selections[current].ImagePath) + QStringLiteral(" -- Failed ") + failureText(outcome));
    return outcome;
}

FetchOutcome ImageFetch::GetNIDS(qint16 Current)
{
    const FetchOutcome outcome = fetch(Current);
    // However the fetch ended, nothing of its reply stays and the bar does not
    // look like a transfer still running.
    ReceiveBuffer.clear();
    ImageData.clear();
    m_display.setProgress(0);
    return outcome;
}

FetchOutcome ImageFetch::fetch(qint16 Current)
{
    SelectionEntry &E = m_state.Selections[Current];
    const Settings &settings = m_state.settings;
    const QString prefix = filePrefix(E.ImagePath);

    showLine(Current, QStringLiteral("Getting ") + E.DisplayText);
    if (pause(1))
        return stopped();

    const QString unsafe = unsafePathReason(E.ImagePath);
    if (!unsafe.isEmpty())
        return failed(Current, FetchOutcome{FetchOutcome::Failed, 0, unsafe});

    m_http.URL = QStringLiteral("http://") + settings.Server + QLatin1Char(':') + QString::number(settings.Port) +
                 QStringLiteral("/graphics/nexrad/") + E.ImagePath;
    m_http.IfModifiedSince = E.LastModified;
    m_http.UserName = settings.UserName;
    m_http.Password = settings.Password;
    // Nothing of an earlier reply may count for this one.
    TransferComplete = false;
    ReceiveBuffer.clear();
    ImageData.clear();
    LastModifiedHeader.clear();
    ContentLength = 0;
    m_failure = Failure();
    m_http.start();

    const qint64 deadline = m_waiter.now() + qint64(m_state.RequestTimeoutSeconds) * 1000;
    m_waiter.waitUntil(
        deadline, [this] { return m_failure.reported || TransferComplete || m_state.StopRequested != 0; },
        WaitKind::Reply);

    if (m_state.StopRequested) {
        m_http.stop();
        return stopped(); // nothing stored: LastModified stays, so the next run fetches it again
    }
    if (m_failure.reported) {
        if (m_failure.status == 304) {
            const QString line = prefix + QStringLiteral(" -- Repeat ") + E.LastModified.right(12) +
                                 QStringLiteral(" #") + QString::number(E.SequenceNumber - 1);
            if (pause(3))
                return stopped();
            showLine(Current, line);
            return FetchOutcome{FetchOutcome::NotModified, 304, QString()};
        }
        if (m_failure.status == 401) {
            m_display.accessDenied();
            m_state.EntryIndex = m_state.EntryCount; // the round ends after this fetch
        }
        return failed(Current, FetchOutcome{FetchOutcome::Failed, m_failure.status, m_failure.reason});
    }
    if (!TransferComplete) {
        // The deadline passed: no chunk of this transfer may reach the next entry,
        // and an incomplete body is never stored.
        m_http.stop();
        return failed(Current, FetchOutcome{FetchOutcome::TimedOut, 0, QStringLiteral("timed out")});
    }
    return judgeBody(Current);
}

FetchOutcome ImageFetch::judgeBody(qint16 Current)
{
    SelectionEntry &E = m_state.Selections[Current];
    if (ReceiveBuffer.size() <= 1000)
        return failed(Current, FetchOutcome{FetchOutcome::TooShort, 0,
                                            QStringLiteral("too short (%1 bytes)").arg(ReceiveBuffer.size())});
    const qsizetype start = ReceiveBuffer.indexOf("GIF87");
    if (start >= 0 && !ReceiveBuffer.endsWith(GifTrailer))
        return failed(Current, FetchOutcome{FetchOutcome::Incomplete, 0, QStringLiteral("incomplete picture")});

    m_display.newImageAlert();
    if (start < 0)
        return failed(Current, FetchOutcome{FetchOutcome::NotAnImage, 0, QStringLiteral("not a GIF87 picture")});
    ImageData = start == 0 ? ReceiveBuffer : ReceiveBuffer.mid(start);
    const QString prefix = filePrefix(E.ImagePath);
    const QString line = prefix + QStringLiteral(" ... ") + LastModifiedHeader + QStringLiteral(" -  #") +
                         QString::number(E.SequenceNumber);

    const Settings &settings = m_state.settings;
    const QString directory = imageDirectoryPath(settings.ImageDirectory, m_state.ProgramDirectory);
    if (directory.isEmpty())
        return failed(Current, FetchOutcome{FetchOutcome::Abandoned, 0, QStringLiteral("no image directory is set")});
    QString error;
    const QString name = buildImageFileName(settings.NamingMode, prefix, E.SequenceNumber, LastModifiedHeader, &error);
    if (name.isEmpty())
        return failed(Current, FetchOutcome{FetchOutcome::Abandoned, 0, error});

    m_display.alertStart();
    if (pause(3))
        return stopped();
    // The older files rotate only once the new picture is safely written.
    if (!storeImageFile(directory, name, prefix, rotatesFirst(settings.NamingMode, E.SequenceNumber), ImageData,
                        &error))
        return failed(Current, FetchOutcome{FetchOutcome::Failed, 0, error});
    // Only a stored picture counts as fetched: a reply that stores nothing leaves
    // LastModified as it was, so the next round asks for the picture in full again.
    E.LastModified = LastModifiedHeader;
    E.SequenceNumber = saturatingIncrement(E.SequenceNumber); // past 32767 the newest stays file 9
    showLine(Current, line);
    return FetchOutcome{FetchOutcome::Stored, 0, QString()};
}

void ImageFetch::headerArrived(const QString &name, const QString &value)
{
    if (name.compare(QLatin1String("Last-modified"), Qt::CaseInsensitive) == 0)
        LastModifiedHeader = value;
    else if (name.compare(QLatin1String("Content-length"), Qt::CaseInsensitive) == 0)
        ContentLength = leadingNumber(value);
}

void ImageFetch::transferArrived(qint32 count, const QByteArray &chunk)
{
    if (ReceiveBuffer.isEmpty() && ContentLength > 0 && ContentLength <= double(m_http.MaxBodyBytes))
        ReceiveBuffer.reserve(qsizetype(ContentLength));
    ReceiveBuffer.append(chunk);
    // Missing, zero or wrong lengths never push the bar outside 0 to 100.
    double percent = ContentLength > 0 ? double(count) / ContentLength * 100.0 : 0.0;
    if (!std::isfinite(percent))
        percent = 0;
    m_display.setProgress(int(qBound(0.0, percent, 100.0)));
}

void ImageFetch::transferEnded()
{
    TransferComplete = true;
    m_waiter.wake();
}

void ImageFetch::failureReported(int status, const QString &reason)
{
    m_failure = Failure{true, status, reason};
    m_waiter.wake();
}

} // namespace stormtap
