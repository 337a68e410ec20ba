#include "app/show.h"

#include "resources/sound_manager.h"
#include "scenes/evolution_text_scene.h"
#include "scenes/laser_scene.h"
#include "scenes/screen_scene.h"
#include "scenes/skull_skybox_scene.h"
#include "scenes/torus_knot_scene.h"
#include "scenes/words_scene.h"

void placeShow(DemoTimeline& timeline) {
  timeline.clearTable();
  timeline.placeScene(0, new ScreenScene, 0.0, 40.0, "background1");
  timeline.placeScene(1, new WordsScene, 40.0, 10.0, "background2");
  timeline.placeScene(2, new TorusKnotScene, 50.0, 35.0);
  timeline.placeScene(3, new LaserScene, 85.0, 30.0);
  timeline.placeScene(4, new EvolutionTextScene, 115.0, 35.0);
  timeline.placeScene(5, new SkullSkyboxScene, 150.0, 35.0);

  SoundManager::instance()->loadStream("sounds/back1.mp3", "background1");
  SoundManager::instance()->loadStream("sounds/back2.mp3", "background2");
}
