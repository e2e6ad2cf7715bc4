#pragma once

class QPainter;

namespace zarivok {

// The user-list icons that are pictures rather than labelled badges. Each draws into the
// kChatIconSize box at the painter's origin, on a transparent ground, so that it reads on the
// list's light background.
void DrawGavel(QPainter& painter);
void DrawRedCross(QPainter& painter);
void DrawAdminShield(QPainter& painter);
void DrawNetworkGlobe(QPainter& painter);
void DrawMegaphone(QPainter& painter);
void DrawGlasses(QPainter& painter);

}  // namespace zarivok
