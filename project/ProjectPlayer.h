// The project object: the main window points it at one project's bytes to check the header,
// measure the playing time and, with the sound parts, play the project.
#pragma once

#include "platform/MidiOut.h"
#include "platform/Prompter.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

class CToneOutput;

// A selection mark as the edits take it: a whole record number, the fraction dropped.
int WholeMark(float fMark);

class CProjectPlayer
{
  public:
    // prompter: where the project's checks say what is wrong with it; it must outlive the
    // object, and it is reached from the player thread too.
    explicit CProjectPlayer(IPrompter& prompter) : m_prompter(prompter) {}
    CProjectPlayer(const CProjectPlayer&) = delete;
    CProjectPlayer& operator=(const CProjectPlayer&) = delete;

    // Points the object at a project (not owned: the playlist keeps the bytes).
    void SetData(std::span<const uint8_t> project)
    {
        m_pData = project.data();
        m_nLength = static_cast<int64_t>(project.size());
    }
    std::span<const uint8_t> Data() const { return {m_pData, static_cast<size_t>(m_pData ? m_nLength : 0)}; }

    // Checks the header and version and sets m_nVersion; shows the program's message (without
    // owner) and gives false when the project is damaged or from a future version. pStream, when
    // given, receives a copy of the record stream.
    bool CheckHeader(std::vector<uint8_t>* pStream = nullptr);
    // The same check on bytes of the caller's own, with the same messages; for the player
    // thread, which works on its copy and leaves m_nVersion to the window thread.
    bool CheckProject(std::span<const uint8_t> project, int& nVersion, std::vector<uint8_t>* pStream) const;
    // Sets m_nTotal to the playing time in milliseconds. On a damaged project shows its message
    // and gives false; m_nTotal then holds what was summed before the damage (or stays as it
    // was when the header is wrong).
    bool ComputeTotal();
    // Records walked by the last ComputeTotal.
    int64_t RecordsWalked() const { return m_nWalked; }
    // Where the object's messages go; the player thread says its own through it too.
    IPrompter& Messages() const { return m_prompter; }

    // Clip editing (the Edit menu). Each operation works on the project the object points at,
    // checks its header first (with the checks' messages), and on success gives a whole new
    // project: this project's 27-byte header followed by the new record stream. On failure it
    // has said why through the prompter and gives nothing; the caller keeps its bytes.
    // Record numbers count from 1; the marks are taken as whole numbers, a start below 1 as 1
    // and an end past the last record as the last.

    // The records m_fMarkStart to m_fMarkEnd as a clip object (see SetClip), of this project's
    // version; a version 0.0 clip goes through CheckBalance ("Вопрос о копировании"). Null when
    // there is no clip: an empty selection (end 0 or before the start) or a damaged project.
    std::unique_ptr<CProjectPlayer> Copy();
    // The clip inserted after record nAfter (1 or less: after the first record; at or past the
    // last: at the end; an empty stream takes the clip as its whole stream). Without a clip (null
    // or empty) the project comes back unchanged. A clip of the other version is converted to
    // this project's records first; what has no form here is left out and said once.
    std::optional<std::vector<uint8_t>> Paste(const CProjectPlayer* pClip, int nAfter);
    // The project without records m_fMarkStart to m_fMarkEnd; an empty selection gives the
    // project unchanged.
    std::optional<std::vector<uint8_t>> Delete();
    // The project with the delay before its first timed record made 0.
    std::optional<std::vector<uint8_t>> RemoveGaps();
    // Version 0.0: when the stream's note ons and note offs do not pair up, asks (with
    // strCaption) whether to close the notes left open; Yes appends a note off of 0 ms for each,
    // in the order they were opened. Gives the stream, unchanged without the question or on No.
    std::vector<uint8_t> CheckBalance(std::vector<uint8_t> stream, const std::string& strCaption) const;
    // Select all: the number of records of the project, 0 with the damaged-for-editing message
    // (owned by the main window) when a record is damaged.
    int CountRecords();

    // A clip object owns its record stream (no header); m_pData and m_nLength point at it and
    // m_nVersion is the version of the project it was copied from.
    void SetClip(std::vector<uint8_t> stream, int32_t nVersion);
    bool HasClip() const { return m_pData && m_nLength > 0; }

    // Project
    int32_t m_nVersion = 0;
    const uint8_t* m_pData = nullptr;
    int64_t m_nLength = 0;
    int32_t m_nTotal = 0;

    // Playback handshake between the window thread and the player thread
    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bPause{false};
    std::atomic<bool> m_bPlaying{false};
    std::atomic<float> m_fPosition{0.0f};
    // A seek asked for by the window thread: the time in ms that the playing goes to, -1 for
    // none. The player thread takes it (and puts back -1) at its next wait step, playing or
    // paused; a request left when a playing ends is dropped with it.
    std::atomic<int64_t> m_nSeekMs{-1};
    // Asks the player thread to go on from nMs of the project (below 0: from its start); a
    // later request replaces one not yet taken.
    void AskSeek(int64_t nMs) { m_nSeekMs = std::max<int64_t>(nMs, 0); }

    // Player state, touched by the player thread only (see sound/ProjectPlayback.h)
    std::unique_ptr<IMidiOutHandle> m_hMidiOut; // the output it opened; closed when it ends
    uint32_t m_nMidiResult = 0;
    uint32_t m_dwMessage = 0;
    int32_t m_nChannel = 0;
    int32_t m_nVelocity = 0;
    int32_t m_nBase = 0;
    // The record the player has reached, counted from 1 (after a seek: the first one played).
    std::atomic<int32_t> m_nRecordCount{0};
    // The oscillator's looping buffer, made at the first tone the object plays; it lives as
    // long as the object, so that a stopped tone can play out its last pass.
    std::shared_ptr<CToneOutput> m_pTone;

    // Selection marks (record numbers)
    float m_fCurrent = 0;
    float m_fMarkStart = 0;
    float m_fMarkEnd = 0;

  private:
    IPrompter& m_prompter;
    int64_t m_nWalked = 0;
    std::vector<uint8_t> m_clip; // a clip object's own bytes
};
