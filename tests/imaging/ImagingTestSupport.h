#pragma once

#include "base/Messages.h"
#include "imaging/TBitmap24.h"
#include "imaging/TQROIRGB.h"
#include "imaging/TQStatus.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace varnolux::test {

/// Collects the messages meant for the user while it is installed.
class TRecordingReporter : public TReporter {
public:
    TRecordingReporter()
        : scope_(*this)
    {
    }
    void ShowMessage(const std::string& text) override { Messages.push_back(text); }
    std::vector<std::string> Messages;

private:
    TScopedReporter scope_;
};

/// One call on a progress bar.
struct TProgressCall {
    int Slot;
    std::string Kind; // "range" or "position"
    int First;
    int Second;
    friend bool operator==(const TProgressCall&, const TProgressCall&) = default;
};

/// Records the calls on progress bars put into slots while it lives.
class TProgressRecorder {
public:
    explicit TProgressRecorder(std::vector<int> slots)
    {
        for (int slot : slots) {
            bars_.push_back(std::make_unique<TBar>(slot, Calls, mutex_));
            TQStatus::Instance().SetBar(slot, bars_.back().get());
        }
    }
    ~TProgressRecorder()
    {
        for (const auto& bar : bars_)
            TQStatus::Instance().SetBar(bar->Slot, nullptr);
    }
    TProgressRecorder(const TProgressRecorder&) = delete;
    TProgressRecorder& operator=(const TProgressRecorder&) = delete;

    std::vector<int> Positions(int slot) const
    {
        std::vector<int> positions;
        for (const auto& call : Calls)
            if (call.Slot == slot && call.Kind == "position")
                positions.push_back(call.First);
        return positions;
    }

    std::vector<TProgressCall> Calls;

private:
    // Long operations report from several threads at once.
    struct TBar : TQProgressBar {
        TBar(int slot, std::vector<TProgressCall>& calls, std::mutex& mutex)
            : Slot(slot)
            , Calls(calls)
            , Mutex(mutex)
        {
        }
        void SetRange(int min, int max) override
        {
            const std::lock_guard lock(Mutex);
            Calls.push_back({Slot, "range", min, max});
        }
        void SetPosition(int position) override
        {
            const std::lock_guard lock(Mutex);
            Calls.push_back({Slot, "position", position, 0});
        }
        int Slot;
        std::vector<TProgressCall>& Calls;
        std::mutex& Mutex;
    };
    std::mutex mutex_;
    std::vector<std::unique_ptr<TBar>> bars_;
};

/// Sets a mask from rows of text: '.' is 0, '#' is 1, a digit is that byte.
inline void SetMaskRows(TQROIL& roi, const std::vector<std::string>& rows)
{
    roi.SetSize(rows.empty() ? 0 : int(rows[0].size()), int(rows.size()));
    for (int y = 0; y < roi.Height(); ++y)
        for (int x = 0; x < roi.Width(); ++x) {
            const char c = rows[std::size_t(y)][std::size_t(x)];
            roi.Mask()[x][y] = c == '#' ? 1 : c == '.' ? 0 : std::uint8_t(c - '0');
        }
}

/// The mask as rows of text, '.' for 0 and '#' for 1 (other bytes as digits).
inline std::vector<std::string> MaskRows(const TQROIL& roi)
{
    std::vector<std::string> rows(std::size_t(roi.Height()),
                                  std::string(std::size_t(roi.Width()), '.'));
    for (int y = 0; y < roi.Height(); ++y)
        for (int x = 0; x < roi.Width(); ++x) {
            const int value = roi.Mask()[x][y];
            rows[std::size_t(y)][std::size_t(x)] = value == 0   ? '.'
                                                   : value == 1 ? '#'
                                                                : char('0' + value);
        }
    return rows;
}

/// A plane's elements as [x][y] nested vectors, for readable comparisons.
inline std::vector<std::vector<int>> Columns(const TPlane<std::uint8_t>& plane)
{
    std::vector<std::vector<int>> columns;
    for (int x = 0; x < plane.Width(); ++x)
        columns.emplace_back(plane.Column(x).begin(), plane.Column(x).end());
    return columns;
}

inline void FillRandom(TPlane<std::uint8_t>& plane, std::mt19937& random)
{
    for (auto& value : plane.Elements())
        value = std::uint8_t(random() >> 24);
}

/// A colour ROI with random colours and values, its mask all 1.
inline TQROIRGB RandomColourRoi(int width, int height, std::mt19937& random)
{
    TQROIRGB roi(width, height);
    roi.SetMask(1);
    for (auto* plane : {&roi.Values(), &roi.Red(), &roi.Green(), &roi.Blue(), &roi.Grey()})
        FillRandom(*plane, random);
    return roi;
}

inline TBitmap24 RandomBitmap(int width, int height, std::mt19937& random)
{
    TBitmap24 bitmap(width, height);
    for (int y = 0; y < height; ++y)
        for (auto& byte : bitmap.Row(y))
            byte = std::uint8_t(random() >> 24);
    return bitmap;
}

} // namespace varnolux::test
