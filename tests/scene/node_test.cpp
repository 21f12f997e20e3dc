#include "scene/node.h"

#include <GL/gl.h>

#include <vector>

#include "tests/support/gl_fixture.h"

namespace {

struct PhaseRecord {
    SceneNode* node;
    int32_t phase;
    int32_t value;
};
std::vector<PhaseRecord> phases;

void recordPhase(int32_t phase, int32_t value) {
    phases.push_back({currentNode, phase, value});
}

bool normalizeOnInPhase2 = true;
void checkNormalize(int32_t phase, int32_t) {
    if (phase == 2) normalizeOnInPhase2 = glIsEnabled(GL_NORMALIZE);
}

double childScaleX = 0.0;
void readChildScale(int32_t phase, int32_t) {
    if (phase != 3) return;
    double m[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, m);
    childScaleX = m[0];
}

SceneNode* spawnParent = nullptr;
void spawnChild(int32_t) {
    spawnParent = currentNode;
    SceneNode* child = newNode();
    child->addDrawCallback(recordPhase, 0);
    currentNode->addChild(child);
}

void dieNow(int32_t) {
    currentNode->markDying();
}

void addTrack(SceneNode* node, TrackCallback callback, double duration) {
    AnimTrack track;
    track.initTrack(0, true, duration);
    track.setTrackAction(callback, 0);
    if (node->script.stateEnabled.empty()) node->script.newState();
    node->script.addStateTrack(track);
}

// A node that counts as having loaded a model, without archive or meshes behind it.
SceneNode* nodeWithModel() {
    SceneNode* node = newNode();
    node->hasMeshes = true;
    return node;
}

void freeTree(SceneNode* node) {
    for (size_t i = 0; i < node->children.size(); i++) freeTree(node->children[i]);
    node->destroyNode();
    delete node;
}

class NodeTest : public GlTest {
   protected:
    SceneNode* root = nullptr;
    void SetUp() override {
        GlTest::SetUp();
        phases.clear();
        frameTicks = 0;
        root = newNode();
    }
    void TearDown() override {
        if (root) freeTree(root);
        GlTest::TearDown();
    }
    void frame() {
        frameTicks += 16;
        glLoadIdentity();
        root->draw();
    }
};

TEST_F(NodeTest, PhasesBracketMeshesOnlyForModelNodesAndEveryChild) {
    SceneNode* plain = newNode();
    plain->addDrawCallback(recordPhase, 1);
    plain->addDrawCallback(recordPhase, 2);
    SceneNode* model = nodeWithModel();
    model->addDrawCallback(recordPhase, 3);
    ASSERT_TRUE(root->addChild(plain));
    ASSERT_TRUE(plain->addChild(model));
    ASSERT_TRUE(plain->addChild(newNode()));
    frame();
    std::vector<int32_t> got;
    for (const PhaseRecord& r : phases) got.push_back(r.phase * 10 + r.value);
    // plain: 3 and 4 around each child, both callbacks in order; model: 1 and 2
    std::vector<int32_t> want = {31, 32, 13, 23, 41, 42, 31, 32, 41, 42};
    EXPECT_EQ(got, want);
    EXPECT_EQ(phases[2].node, model);
    EXPECT_EQ(currentNode, plain->children[1]);
}

TEST_F(NodeTest, ScaleReachesOnlyTheNodesOwnMeshes) {
    SceneNode* scaledNode = nodeWithModel();
    scaledNode->setScale(0.5, 0.5, 0.5);
    scaledNode->addDrawCallback(checkNormalize, 0);
    scaledNode->addDrawCallback(readChildScale, 0);
    scaledNode->addChild(newNode());
    root->addChild(scaledNode);
    frame();
    EXPECT_FALSE(normalizeOnInPhase2);
    EXPECT_DOUBLE_EQ(childScaleX, 1.0);
    EXPECT_FALSE(glIsEnabled(GL_NORMALIZE));
}

TEST_F(NodeTest, TransformsNestAndArePoppedAfterEachNode) {
    SceneNode* a = newNode();
    a->setPosition(1, 0, 0);
    SceneNode* b = newNode();
    b->setPosition(0, 2, 0);
    b->addDrawCallback(readChildScale, 0);
    a->addChild(b);
    root->addChild(a);
    b->addChild(newNode());
    double before[16], after[16];
    glLoadIdentity();
    glGetDoublev(GL_MODELVIEW_MATRIX, before);
    root->draw();
    glGetDoublev(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; i++) EXPECT_EQ(before[i], after[i]);
}

TEST_F(NodeTest, DyingParentOfThreeLeavesGoesOverThreeFrames) {
    SceneNode* parent = newNode();
    for (int i = 0; i < 3; i++) parent->addChild(newNode());
    root->addChild(parent);
    frame();
    parent->markDying();
    frame();  // children marked dying and, childless, turn dead
    ASSERT_EQ(parent->children.size(), 3u);
    for (SceneNode* child : parent->children) EXPECT_TRUE(child->dead);
    EXPECT_FALSE(parent->dead);
    frame();  // parent deletes all three, then turns dead itself
    EXPECT_TRUE(parent->children.empty());
    EXPECT_TRUE(parent->dead);
    ASSERT_EQ(root->children.size(), 1u);
    frame();
    EXPECT_TRUE(root->children.empty());
}

TEST_F(NodeTest, DyingRootDismantlesADeepTreeLeafFirst) {
    SceneNode* node = root;
    for (int depth = 0; depth < 3; depth++) {
        SceneNode* child = newNode();
        node->addChild(child);
        node = child;
    }
    root->markDying();
    int frames = 0;
    while (!root->dead && frames < 20) {
        frame();
        frames++;
    }
    // depth 3: dead 3 frames after the first dying frame
    EXPECT_EQ(frames, 4);
    EXPECT_TRUE(root->children.empty());
}

TEST_F(NodeTest, MarkedDyingByItsOwnTrackStillDrawsThatFrame) {
    SceneNode* node = nodeWithModel();
    node->addDrawCallback(recordPhase, 0);
    addTrack(node, dieNow, 0.0);
    node->script.runState(0);
    root->addChild(node);
    frame();
    EXPECT_EQ(phases.size(), 2u);
    EXPECT_TRUE(node->dead);  // childless, so it turns dead in the same draw
    ASSERT_EQ(root->children.size(), 1u);
    frame();
    EXPECT_EQ(phases.size(), 2u);
    EXPECT_TRUE(root->children.empty());
}

TEST_F(NodeTest, ChildAddedByATrackIsDrawnInTheSameFrame) {
    SceneNode* node = nodeWithModel();
    addTrack(node, spawnChild, -1.0);
    node->script.runState(0);
    root->addChild(node);
    frame();
    EXPECT_EQ(spawnParent, node);
    ASSERT_EQ(node->children.size(), 1u);
    ASSERT_EQ(phases.size(), 0u);  // the new child has no model: no phases of its own
    EXPECT_EQ(currentNode, node->children[0]);
}

TEST_F(NodeTest, DyingNodesStopAnimating) {
    SceneNode* node = newNode();
    addTrack(node, dieNow, 0.0);
    root->addChild(node);
    node->script.runState(0);
    node->markDying();
    frame();
    EXPECT_EQ(node->animator.tracks[0].lifetime, 0.0);
}

TEST_F(NodeTest, AddChildRefusesCyclesAndSecondParents) {
    SceneNode* a = newNode();
    SceneNode* b = newNode();
    SceneNode* c = newNode();
    EXPECT_FALSE(root->addChild(root));
    EXPECT_FALSE(root->addChild(nullptr));
    ASSERT_TRUE(root->addChild(a));
    ASSERT_TRUE(a->addChild(b));
    EXPECT_FALSE(c->addChild(b));     // b already has a parent
    EXPECT_FALSE(b->addChild(root));  // an ancestor
    EXPECT_FALSE(b->addChild(a));
    EXPECT_FALSE(a->addChild(b));  // no duplicates either
    EXPECT_EQ(a->children.size(), 1u);
    EXPECT_TRUE(c->children.empty());
    EXPECT_TRUE(b->children.empty());
    ASSERT_TRUE(b->addChild(c));
    EXPECT_EQ(c->parent, b);
}

}  // namespace
