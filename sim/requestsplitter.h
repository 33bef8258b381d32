#ifndef REQUESTSPLITTER_H
#define REQUESTSPLITTER_H

#include <QByteArray>

// Cuts the byte stream from the host into request frames. Requests arrive
// in pieces or several at once; bytes that cannot start a frame are
// skipped until the next plausible frame start.
class RequestSplitter
{
public:
    void append(const QByteArray &bytes);
    // Takes the next complete request off the stream; false while none is.
    bool takeRequest(QByteArray *request);
    int skippedBytes() const { return m_skipped; }

private:
    bool headerIsValid() const;
    int frameLength() const;
    void skipByte();

    QByteArray m_buffer;
    int m_skipped = 0;
};

#endif // REQUESTSPLITTER_H
