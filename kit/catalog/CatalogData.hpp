// The built-in data lists, one source file each, in catalog order; Catalog::velmora() joins them.
#pragma once

#include <vector>

#include "kit/Tweak.hpp"

namespace velmora::catalog_data {

std::vector<Tweak> starterRecipeTweaks();   // positions 1-13
std::vector<Tweak> finderPowerTweaks();     // 14-24
std::vector<Tweak> developerSetupTweaks();  // 25-31
std::vector<Tweak> declutterTweaks();       // 32-35
std::vector<Tweak> hotCornerTweaks();       // 36
std::vector<Tweak> performanceTweaks();     // 37-44
std::vector<Tweak> inputTweaks();           // 45-53
std::vector<Tweak> privacyTweaks();         // 54-59
std::vector<Tweak> spacesTweaks();          // 60-69
std::vector<Tweak> moreTweaks();            // 70-94

std::vector<Recipe> starterRecipes();  // recipes 1-2
Recipe finderPowerRecipe();            // recipe 3
Recipe developerSetupRecipe();         // recipe 4
Recipe declutterRecipe();              // recipe 5

}  // namespace velmora::catalog_data
