#include "gui/diagram/diagram_layouts.h"

#include "gui/diagram/diagram_pictures.h"

namespace veltrix {

namespace {

using P = QPoint;
using L = QLine;
using Cable = std::array<QPoint, 4>;

// A card bracket: its tab from tabLeft to x on row top, its edge down column x.
constexpr std::array<QLine, 2> Bracket(int tabLeft, int x, int top, int bottom) {
    return {L(tabLeft, top, x, top), L(x, top, x, bottom)};
}

// Cable lines shared by several layouts.
constexpr Cable kBackEdge0{P(70, 153), P(150, 153), P(150, 100), P(150, 100)};
constexpr Cable kBackEdge1{P(66, 153), P(71, 148), P(110, 148), P(110, 100)};
constexpr Cable kBackEdge2{P(70, 143), P(70, 143), P(70, 100), P(70, 100)};
constexpr Cable kBackEdge3{P(66, 143), P(66, 120), P(30, 120), P(30, 100)};
constexpr Cable kTwoPortBack0{P(56, 143), P(70, 143), P(70, 100), P(70, 100)};
constexpr Cable kTwoPortBack1{P(56, 153), P(56, 153), P(110, 153), P(110, 100)};
constexpr Cable kTop0{P(70, 130), P(70, 120), P(30, 120), P(30, 100)};
constexpr Cable kTop1{P(82, 130), P(82, 110), P(70, 110), P(70, 100)};
constexpr Cable kTop2{P(102, 130), P(102, 110), P(110, 110), P(110, 100)};
constexpr Cable kTop3{P(114, 130), P(114, 120), P(150, 120), P(150, 100)};

constexpr std::array<int, 4> kLeftToRight{17, 57, 97, 137};
constexpr std::array<int, 4> kRightToLeft{137, 97, 57, 17};
constexpr std::array<int, 4> kMiddleTwo{57, 97, 0, 0};

using namespace picture_id;

constexpr DiagramLayout kLayouts[] = {
    {51,
     kCardAlder,
     P(60, 129),
     Bracket(55, 60, 124, 164),
     4,
     kLeftToRight,
     false,
     {kTop0, kTop1, kTop2, kTop3}},
    {41,
     kCardBirch,
     P(60, 129),
     Bracket(55, 60, 124, 164),
     4,
     kLeftToRight,
     false,
     {Cable{P(70, 134), P(70, 120), P(30, 120), P(30, 100)},
      Cable{P(82, 134), P(82, 110), P(70, 110), P(70, 100)},
      Cable{P(102, 134), P(102, 110), P(110, 110), P(110, 100)},
      Cable{P(114, 134), P(114, 120), P(150, 120), P(150, 100)}}},
    {21,
     kCardCedar,
     P(78, 124),
     Bracket(73, 78, 119, 159),
     2,
     kMiddleTwo,
     false,
     {Cable{P(87, 130), P(87, 110), P(70, 110), P(70, 100)},
      Cable{P(97, 130), P(97, 110), P(110, 110), P(110, 100)}}},
    {13,
     kCardElm,
     P(60, 129),
     Bracket(55, 60, 124, 164),
     4,
     kRightToLeft,
     false,
     {kTop3, kTop2, kTop1, kTop0}},
    {12,
     kCardFir,
     P(66, 129),
     Bracket(61, 66, 124, 164),
     2,
     kMiddleTwo,
     false,
     {Cable{P(77, 130), P(77, 110), P(70, 110), P(70, 100)},
      Cable{P(107, 130), P(107, 110), P(110, 110), P(110, 100)}}},
    {22,
     kCardHazel,
     P(13, 135),
     Bracket(7, 13, 120, 170),
     4,
     kRightToLeft,
     false,
     {kBackEdge0, kBackEdge1, kBackEdge2, kBackEdge3}},
    {31,
     kCardLarchLime,
     P(13, 135),
     Bracket(7, 13, 120, 170),
     2,
     kMiddleTwo,
     false,
     {kTwoPortBack0, kTwoPortBack1}},
    {32,
     kCardMaple,
     P(13, 135),
     Bracket(7, 13, 120, 170),
     2,
     kMiddleTwo,
     false,
     {kTwoPortBack0, kTwoPortBack1}},
    {33,
     kCardOak,
     P(13, 135),
     Bracket(7, 13, 120, 170),
     4,
     kRightToLeft,
     false,
     {kBackEdge0, kBackEdge1, kBackEdge2, kBackEdge3}},
    {11, kCardPine, P(13, 129), Bracket(8, 13, 124, 164), 4, kRightToLeft, true, {}},
};

}  // namespace

const DiagramLayout* FindLayout(std::uint32_t modelCode) {
    for (const DiagramLayout& layout : kLayouts) {
        if (layout.modelCode == modelCode) {
            return &layout;
        }
    }
    return nullptr;
}

}  // namespace veltrix
