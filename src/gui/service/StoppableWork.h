#pragma once

#include "components/HTTPRequest.h"

// The busy and stop-requested state of a window that runs requests, and the progress
// events that pass a stop on to the request. The request's own event loop keeps the
// window served meanwhile.
class StoppableWork : public IHTTPRequestCallback {
public:
    bool Busy() const { return m_busy; }
    // Shows the window's controls as fits a run under way or none.
    virtual void UpdateControls() = 0;

    void BlockSent(qint64, qint64 SentBytes, qint64 TotalBytes, bool& Cancel) override {
        SendProgress(SentBytes, TotalBytes);
        if (m_stopRequested)
            Cancel = true;
    }
    void BlockReceived(const QByteArray&, bool&, qint64, qint64, bool& Cancel) override {
        AnswerArriving();
        if (m_stopRequested)
            Cancel = true;
    }

protected:
    ~StoppableWork() = default;
    // "Stop" (or a close while busy): only a run under way can be stopped.
    void Stop() {
        if (!m_busy)
            return;
        m_stopRequested = true;
        ++m_stopRequests;
    }
    // The bracket around a run.
    void StartWork() {
        m_busy = true;
        m_stopRequested = false;
        m_stopRequests = 0;
        UpdateControls();
    }
    void EndWork() {
        m_busy = false;
        m_stopRequested = false;
        m_stopRequests = 0;
        UpdateControls();
    }
    // For windows that show how far the request under way has got: its body, then its answer.
    virtual void SendProgress(qint64 sent, qint64 total) {
        Q_UNUSED(sent);
        Q_UNUSED(total);
    }
    virtual void AnswerArriving() {}

    bool m_busy = false;
    bool m_stopRequested = false;
    int m_stopRequests = 0; // since the run began
};
