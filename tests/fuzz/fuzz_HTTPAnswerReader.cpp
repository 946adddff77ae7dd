// Whatever a server answers, it is read within bounds, and the same however it is split.
#include "FuzzSupport.h"

#include "components/HTTPAnswerReader.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSupport::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = FuzzSupport::Bytes(data, size);
    HTTPAnswerReader whole;
    const QByteArray body = whole.Feed(bytes);
    whole.EndOfStream();
    FUZZ_CHECK(body.size() <= bytes.size());
    FUZZ_CHECK(whole.Current() == HTTPAnswerReader::State::Done ||
               whole.Current() == HTTPAnswerReader::State::Failed);

    // The split falls where the first byte says.
    const qsizetype step = bytes.isEmpty() ? 1 : 1 + static_cast<uchar>(bytes.at(0)) % 13;
    HTTPAnswerReader pieces;
    QByteArray pieceBody;
    for (qsizetype at = 0; at < bytes.size(); at += step)
        pieceBody += pieces.Feed(bytes.mid(at, step));
    pieces.EndOfStream();
    FUZZ_CHECK(pieces.Current() == whole.Current());
    FUZZ_CHECK(pieces.Status() == whole.Status());
    if (whole.Current() == HTTPAnswerReader::State::Done)
        FUZZ_CHECK(pieceBody == body);
    return 0;
}
