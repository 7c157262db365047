// Every symbol name the interface draws anywhere, as the views and data tables name them.
#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace velmora::test {

inline const std::vector<std::string>& interfaceSymbols() {
    static const std::vector<std::string> names = [] {
        std::istringstream in(
            "a.square airplane antenna.radiowaves.left.and.right app.badge app.fill "
            "arrow.counterclockwise arrow.down.app arrow.down.circle arrow.down.circle.fill "
            "arrow.left.arrow.right arrow.triangle.2.circlepath arrow.up.arrow.down "
            "arrow.up.circle arrow.up.left.and.arrow.down.right arrow.uturn.backward battery.100 "
            "battery.25 battery.50 bolt.fill bolt.slash briefcase briefcase.fill calendar "
            "calendar.circle camera camera.viewfinder checkmark checkmark.circle.fill "
            "chevron.down chevron.left chevron.left.forwardslash.chevron.right chevron.right "
            "chevron.up.chevron.down circle circle.inset.filled circle.lefthalf.filled "
            "circle.righthalf.filled clock clock.arrow.2.circlepath clock.arrow.circlepath "
            "clock.fill computermouse cup.and.saucer.fill curlybraces cursorarrow.click "
            "desktopcomputer display display.trianglebadge.exclamationmark doc.plaintext "
            "doc.text dock.rectangle exclamationmark.bubble exclamationmark.shield "
            "exclamationmark.triangle externaldrive externaldrive.badge.plus "
            "externaldrive.badge.xmark externaldrive.fill eye eye.circle eye.slash "
            "figure.walk.motion folder folder.fill function gamecontroller.fill gearshape "
            "graduationcap hammer hand.draw hand.raised.slash hand.tap hare hare.fill house "
            "icloud.slash info.circle keyboard laptopcomputer leaf.fill link list.bullet "
            "list.bullet.rectangle lock lock.shield macwindow macwindow.badge.plus "
            "magnifyingglass menubar.rectangle mic.slash minus.rectangle moon moon.circle "
            "moon.fill moon.zzz music.note opticaldiscdrive paintbrush.pointed "
            "person.crop.circle person.fill photo photo.stack pin play.circle plus "
            "plus.magnifyingglass powerplug powerplug.fill powersleep printer quote.opening "
            "rectangle.3.group rectangle.and.hand.point.up.left rectangle.center.inset.filled "
            "rectangle.on.rectangle rectangle.slash rectangle.split.3x1 safari scroll "
            "sidebar.left sparkles speaker.wave.2 speedometer square.and.arrow.down "
            "square.grid.2x2 square.grid.3x3 square.on.square square.stack.3d.up "
            "square.stack.3d.up.fill star star.fill sun.max.fill sunrise.fill text.alignleft "
            "textformat textformat.abc timer trash wand.and.rays wand.and.stars wifi "
            "wifi.exclamationmark wifi.slash wind ");
        std::vector<std::string> words;
        for (std::string word; in >> word;) {
            words.push_back(word);
        }
        return words;
    }();
    return names;
}

}  // namespace velmora::test
