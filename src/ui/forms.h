// The program's object graph: the deck (the recorder pair) and the six
// windows that show it, created once in a fixed order and kept for the whole run.
#pragma once

#include <memory>

#include "deck/deck.h"

namespace qz7 {

class MediaLists;
class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm6;

class Forms {
public:
    explicit Forms(const DevicePair& devices = DevicePair(), LinkTiming timing = {});
    ~Forms();
    Forms(const Forms&) = delete;
    Forms& operator=(const Forms&) = delete;

    Deck& deck() const { return *deck_; }

    TForm1* form1() const { return form1_.get(); }  // "QZ7pro-Controller"
    TForm2* form2() const { return form2_.get(); }  // "Sequence Play"
    TForm3* form3() const { return form3_.get(); }  // "File Name Edit"
    TForm4* form4() const { return form4_.get(); }  // "Last file erase"
    TForm5* form5() const { return form5_.get(); }  // "Confirmation"
    TForm6* form6() const { return form6_.get(); }  // "CUE Edit"

private:
    std::unique_ptr<Deck> deck_;
    std::unique_ptr<TForm1> form1_;
    std::unique_ptr<TForm2> form2_;
    std::unique_ptr<TForm3> form3_;
    std::unique_ptr<TForm4> form4_;
    std::unique_ptr<TForm5> form5_;
    std::unique_ptr<TForm6> form6_;
    std::unique_ptr<MediaLists> lists_;
};

}  // namespace qz7
