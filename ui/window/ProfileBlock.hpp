// The foot of the sidebar: a hairline, what the profile is tuned for once the onboarding is done,
// and the button that opens the questionnaire ("Personalize", later "Update preferences").
// Object name of the button "sidebar.profileButton".
#pragma once

#include <QWidget>
#include <string>

#include "kit/UserProfile.hpp"

namespace velmora {

class LabelButton;
class MainWindow;
class TextLabel;

// "Developer, Designer · Desktop": the first two of the profile's fields in the order the fields
// are declared (so the same profile always reads the same), or "Everyone", then the device.
std::string profileSummary(const UserProfile& profile);

class ProfileBlock : public QWidget {
    Q_OBJECT

  public:
    explicit ProfileBlock(MainWindow& window, QWidget* parent = nullptr);

    void show(const UserProfile& profile);

    LabelButton& button() const { return *button_; }
    const TextLabel& summary() const { return *summary_; }

  private:
    QWidget* tuned_;
    TextLabel* summary_;
    LabelButton* button_;
};

}  // namespace velmora
