#pragma once

#include "imaging/TQError.h"
#include "imaging/TQObject.h"

#include <exception>
#include <memory>
#include <vector>

namespace varnolux {

/// An ordered list that owns its elements; elements share the list's surface.
template <typename T>
class TQListTemplate : public TQObject {
public:
    TQListTemplate() = default;
    TQListTemplate(const TQListTemplate&) = delete;
    TQListTemplate& operator=(const TQListTemplate&) = delete;

    /// Stores the surface and hands it to every element in list order. A failing
    /// element stops the loop with a TQError.
    void SetImage(TQImage* image) override
    {
        Image = image;
        try {
            for (auto& item : items_)
                item->SetImage(image);
        } catch (const std::exception&) {
            throw TQError("Internal error: TQListTemplate<T>::SetImage(TQImage* value)");
        }
    }
    /// Draws every element in list order. A failing element stops the loop with a
    /// TQError.
    void Draw(TBitmap24& bitmap) override
    {
        try {
            for (auto& item : items_)
                item->Draw(bitmap);
        } catch (const std::exception&) {
            throw TQError("Internal error: TQListTemplate<T>::Draw()");
        }
    }

    virtual void Add(std::unique_ptr<T> element)
    {
        element->SetImage(Image);
        items_.push_back(std::move(element));
    }
    virtual void Insert(int index, std::unique_ptr<T> element)
    {
        element->SetImage(Image);
        items_.insert(items_.begin() + index, std::move(element));
    }

    int Count() const { return int(items_.size()); }
    T& Get(int index) { return *items_.at(std::size_t(index)); }
    const T& Get(int index) const { return *items_.at(std::size_t(index)); }
    /// Destroys every element.
    void Clear() { items_.clear(); }

protected:
    std::vector<std::unique_ptr<T>> items_;
};

} // namespace varnolux
