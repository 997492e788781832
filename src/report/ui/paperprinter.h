#pragma once

#include "report/paper.h"

class QByteArray;

// The paper as PDF bytes, on A4 pages: the crest (when readable) and the
// title on one line at the top of the first page; tables whose header comes
// again on every page they run onto, sized to their content so that no
// amount ever breaks; tables side by side where the page is wide enough;
// "page 1 / 2" at the foot of each page when there is more than one.
QByteArray renderPaper(const paper::Document &document);
