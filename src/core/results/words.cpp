#include "results/words.h"

namespace rel {

const ResultsWords& RussianWords() {
    static const ResultsWords words;
    return words;
}

}  // namespace rel
