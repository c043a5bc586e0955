#include "core/run_settings.h"

namespace quilor {

TRunSettings TakeRunSettings(TOptionsRecord& options) {
  if (options.Get(opt::SizeThreshold) < 2) options.Set(opt::SizeThreshold, uint16_t{2});
  const uint16_t base = options.Get(opt::RelationBase);
  if (base < 1 || base > 4) options.Set(opt::RelationBase, uint16_t{1});
  TRunSettings s;
  s.classThresholdInWords = options.Switch(opt::ThresholdKind);
  s.classMinWords = options.Get(opt::ClassMinWords);
  s.classPertinence = options.Get(opt::ClassPertinence);
  s.relationBase = options.Get(opt::RelationBase);
  s.characteristicParts = options.Get(opt::CharacteristicParts);
  s.sizeThreshold = options.Get(opt::SizeThreshold);
  s.bordersNamed = !options.Get(opt::BordersFileName).empty();
  s.showBorders = options.Get(opt::ShowBorders) != 0;
  s.numbersAsWords = options.Switch(opt::Normalisation);
  s.scenarioOnAllCategories = options.Switch(opt::ScenarioOnAllCategories);
  return s;
}

TRunSettings TakeRunSettings() { return TakeRunSettings(*Options); }

}  // namespace quilor
