#include "shell/state_digest.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "engine/messenger.h"
#include "engine/surface.h"
#include "engine/surface_chain.h"
#include "engine/zef_dx.h"
#include "game/bomb.h"
#include "game/cannon.h"
#include "game/cannonball.h"
#include "game/end_screen.h"
#include "game/explosion.h"
#include "game/game_controller.h"
#include "game/mmenu.h"
#include "game/palm.h"
#include "game/plane.h"
#include "game/player.h"
#include "services/tile_layer.h"
#include "shell/main_window.h"

namespace {

std::string num(double v) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", v);
    return text;
}
std::string num(int64_t v) {
    return std::to_string(v);
}
std::string hex(uint64_t v) {
    char text[20];
    std::snprintf(text, sizeof text, "%016" PRIx64, v);
    return text;
}

class Walker {
  public:
    Walker(StateFields& out, bool withFireworks) : out_(out), withFireworks_(withFireworks) {}

    void put(const std::string& name, const std::string& value) { out_.emplace_back(name, value); }

    // Chain name and index, so a picture reads the same in every run.
    std::string pictureName(const Surface* surface) const {
        if (surface == nullptr) return "none";
        const std::pair<const char*, SurfaceChain*> chains[] = {
            {"sparc", Form1->sparcChain},     {"palm", Form1->palmChain},
            {"plane", Form1->planeChain},     {"cannon", Form1->cannonChain},
            {"ball", Form1->cannonballChain}, {"bomb", Form1->bombChain},
            {"splash", Form1->splashChain},   {"arrow", Form1->arrowChain},
            {"icon", Form1->iconChain}};
        for (const auto& [name, chain] : chains) {
            if (chain == nullptr) continue;
            for (size_t i = 0; i < chain->images.size(); ++i) {
                if (chain->images[i].get() == surface) return std::string(name) + std::to_string(i);
            }
        }
        const std::pair<const char*, Surface*> singles[] = {
            {"island", Form1->island}, {"shadow", Form1->shadow}, {"smallLogo", Form1->smallLogo}};
        for (const auto& [name, single] : singles) {
            if (single == surface) return name;
        }
        return "other";
    }

    void sprite(const std::string& p, const Sprite& s, bool withPlace = true) {
        if (withPlace) {
            put(p + ".x", num(int64_t(s.x)));
            put(p + ".y", num(int64_t(s.y)));
        }
        put(p + ".pic", pictureName(s.surface));
        put(p + ".tick", num(int64_t(s.tick)));
        put(p + ".look", std::string(s.hidden ? "hidden" : "shown") +
                             (s.blitFx.mirrorLeftRight ? ",mirrored" : "") +
                             (s.screenFixed ? ",fixed" : "") + ",scale=" + num(s.scale));
    }

    void vehicle(const std::string& p, const Vehicle& v) {
        put(p + ".kind", dynamic_cast<const Plane*>(&v) != nullptr ? "plane" : "cannon");
        sprite(p, v);
        put(p + ".state", num(int64_t(v.state)));
        put(p + ".posX", num(v.posX));
        put(p + ".posY", num(v.posY));
        put(p + ".vx", num(v.vx));
        put(p + ".vy", num(v.vy));
        put(p + ".speed", num(v.speed));
        put(p + ".health", num(int64_t(v.health)));
        put(p + ".reload", num(int64_t(v.reload)));
        put(p + ".heading", num(int64_t(v.heading)));
        put(p + ".aim", num(int64_t(v.aimHeading)) + "," + num(int64_t(v.targetX)) + "," +
                            num(int64_t(v.targetY)) + "," + num(int64_t(v.thinkTimer)) +
                            (v.attacking ? ",attacking" : ",roaming"));
    }

    void projectiles(const std::string& p, const ZefListOwner* list) {
        if (list == nullptr) return;
        int i = 0;
        for (const ZefBase* m = list->children.head; m != nullptr; m = m->next, ++i) {
            const std::string q = p + "[" + std::to_string(i) + "]";
            if (const auto* b = dynamic_cast<const Bomb*>(m)) {
                sprite(q, *b, false);
                put(q + ".side", num(int64_t(b->side)));
                put(q + ".motion",
                    num(b->posX) + "," + num(b->posY) + "," + num(b->vx) + "," + num(b->vy));
            } else if (const auto* c = dynamic_cast<const Cannonball*>(m)) {
                sprite(q, *c, false);
                put(q + ".side", num(int64_t(c->side)) + ",kind=" + num(int64_t(c->kind)));
                put(q + ".motion",
                    num(c->posX) + "," + num(c->posY) + "," + num(c->vx) + "," + num(c->vy));
            } else if (const auto* e = dynamic_cast<const Explosion*>(m)) {
                explosion(q, *e);
            } else if (const auto* s = dynamic_cast<const Sprite*>(m)) {
                sprite(q, *s);
            } else {
                put(q, "object");
            }
        }
    }

    // The sparks are many; one hash of them all names the burst that differs.
    void explosion(const std::string& p, const Explosion& e) {
        uint64_t h = 14695981039346656037ull;
        for (int32_t i = 0; i < e.count && i < Explosion::kMaxSparks; ++i) {
            const Spark& s = e.sparks[i];
            const double values[4] = {s.x, s.y, s.vx, s.vy};
            uint64_t words[5];
            std::memcpy(words, values, sizeof values);
            words[4] = uint64_t(uint32_t(s.life));
            for (uint64_t w : words) h = (h ^ w) * 1099511628211ull;
        }
        put(p + ".count", num(int64_t(e.count)) + (e.gravity ? ",gravity" : ""));
        put(p + ".sparks", hex(h));
    }

    void player(const std::string& p, const Player& pl) {
        put(p + ".points", num(int64_t(pl.points)));
        put(p + ".palmCount", num(int64_t(pl.palmCount)));
        for (int i = 0; i < Player::kMaxPalms; ++i) {
            const Palm* palm = pl.palms[i];
            if (palm == nullptr) continue;
            const std::string q = p + ".palm" + std::to_string(i);
            sprite(q, *palm);
            put(q + ".hit",
                std::string(palm->hit ? "hit," : "standing,") + num(int64_t(palm->pictureIndex)));
        }
    }

    void match(const GameController& m) {
        put("match.day", num(int64_t(m.day)) + ",part=" + num(int64_t(m.dayPart)));
        put("match.ending", std::string(m.dayPartEnding ? "ending" : "-") +
                                (m.endRequested ? ",requested" : ",-") +
                                ",countdown=" + num(int64_t(m.endCountdown)));
        for (int side = 0; side < 2; ++side) {
            const std::string s = std::to_string(side);
            if (m.players[side] != nullptr) player("player" + s, *m.players[side]);
            if (m.vehicles[side] != nullptr) vehicle("vehicle" + s, *m.vehicles[side]);
        }
        projectiles("bomb", m.bombs);
        projectiles("ball", m.cannonballs);
        projectiles("splash", m.splashes);
        projectiles("explosion", m.explosions);
    }

    void walk() {
        put("rng", hex(Form1->random.state()));
        put("quit", Form1->quitRequested ? "yes" : "no");
        const ZefDX* engine = Form1->engine;
        if (engine == nullptr) return;
        put("frame", num(int64_t(engine->frameCounter)));
        put("view", num(int64_t(engine->viewX)) + "," + num(int64_t(engine->viewY)));

        std::string screens;
        int layer = 0, burst = 0;
        for (const ZefBase* m = engine->children.head; m != nullptr; m = m->next) {
            if (!withFireworks_ && dynamic_cast<const Explosion*>(m) != nullptr) continue;
            if (!screens.empty()) screens += ",";
            if (const auto* t = dynamic_cast<const TileLayer*>(m)) {
                screens += "layer";
                put("layer" + std::to_string(layer++) + ".step", num(int64_t(t->stepCounter)));
            } else if (dynamic_cast<const MMenu*>(m) != nullptr) {
                screens += "menu";
            } else if (dynamic_cast<const GameController*>(m) != nullptr) {
                screens += "match";
            } else if (dynamic_cast<const Messenger*>(m) != nullptr) {
                screens += "banner";
            } else if (dynamic_cast<const EndScreen*>(m) != nullptr) {
                screens += "end";
            } else if (const auto* e = dynamic_cast<const Explosion*>(m)) {
                screens += "burst";
                explosion("firework" + std::to_string(burst++), *e);
            } else {
                screens += "other";
            }
        }
        put("screens", screens);

        if (const MMenu* menu = Form1->menu) {
            put("menu.row", num(int64_t(menu->selectedRow)));
            put("menu.arrow", num(int64_t(menu->arrowX)) + "," + num(int64_t(menu->arrowY)));
            put("menu.settings", num(int64_t(menu->isComputer[0])) + "," +
                                     num(int64_t(menu->isComputer[1])) +
                                     ",days=" + num(int64_t(menu->warDays)) +
                                     ",palms=" + num(int64_t(menu->palmTrees)));
        }
        if (const Messenger* banner = Form1->messenger) {
            std::string text = banner->text;
            for (char& c : text) {
                if (c == ' ') c = '_';
            }
            put("banner", text + "," + num(int64_t(banner->framesLeft)));
        }
        if (Form1->endScreen != nullptr && engine->children.contains(Form1->endScreen)) {
            const EndScreen& end = *Form1->endScreen;
            put("end", num(int64_t(end.frames)) + ",points=" + num(int64_t(end.leftPoints)) + ":" +
                           num(int64_t(end.rightPoints)));
        }
        if (Form1->match != nullptr && engine->children.contains(Form1->match))
            match(*Form1->match);
    }

  private:
    StateFields& out_;
    bool withFireworks_;
};

}  // namespace

StateFields stateFields(bool withFireworks) {
    StateFields out;
    if (Form1 != nullptr) Walker(out, withFireworks).walk();
    return out;
}

uint64_t stateDigest(bool withFireworks) {
    // FNV-1a over every name and value, each ended by a zero byte so that
    // moving text from a name to its value changes the digest.
    uint64_t h = 14695981039346656037ull;
    auto eat = [&h](const std::string& text) {
        for (unsigned char c : text) h = (h ^ c) * 1099511628211ull;
        h = (h ^ 0u) * 1099511628211ull;
    };
    for (const StateField& field : stateFields(withFireworks)) {
        eat(field.first);
        eat(field.second);
    }
    return h;
}
