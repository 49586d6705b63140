// The presenter's page from fragments held in memory, joined by the
// presenter's own pure rules (the block line reader, the trim, the end-marker
// test), and an author's page cut by hand at its placeholders.
//   FragmentsJoin   fragments 1010, 1011, 1015 ... 1019 and the values, in the
//                   page's order, as the presenter joins them
//   PageCutByHand   the page cut at its six placeholders, line ends kept, each
//                   fragment but 1011 ended by the marker line; false when the
//                   page does not hold the six in their order
#pragma once
#include <string>

struct JoinValues {
    std::string width, height, insert;
};

std::string FragmentsJoin(const std::string fragments[7], const JoinValues& values);
bool PageCutByHand(const std::string& page, std::string fragments[7]);
