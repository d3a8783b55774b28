#include "platform/webkit/PageScripts.h"

namespace webkitengine::PageScripts {

std::string panning()
{
    // The finger pans once it has moved 8 CSS pixels, along its main direction, when every element
    // from the one it touched up to the page allows that direction by `touch-action` and some
    // element on the way (or the page) can scroll that way. The page's own handlers still see the
    // moves, as on a phone where a panning finger first reaches the page.
    return R"JS((() => {
  const slop = 8;
  let touch = null;
  const allowed = (node) => {
    const axes = { x: true, y: true };
    for (let n = node; n && n.nodeType === 1; n = n.parentElement) {
      const action = getComputedStyle(n).touchAction;
      if (!action || action === "auto" || action === "manipulation") continue;
      if (action.includes("none")) return { x: false, y: false };
      axes.x = axes.x && /pan-(x|left|right)/.test(action);
      axes.y = axes.y && /pan-(y|up|down)/.test(action);
    }
    return axes;
  };
  const scroller = (node, vertical) => {
    for (let n = node; n && n.nodeType === 1; n = n.parentElement) {
      const style = getComputedStyle(n);
      const overflow = vertical ? style.overflowY : style.overflowX;
      const room = vertical ? n.scrollHeight - n.clientHeight : n.scrollWidth - n.clientWidth;
      if ((overflow === "auto" || overflow === "scroll") && room > 0) return n;
    }
    const page = document.scrollingElement;
    if (!page) return null;
    const room = vertical ? page.scrollHeight - innerHeight : page.scrollWidth - innerWidth;
    return room > 0 ? page : null;
  };
  addEventListener("pointerdown", (e) => {
    if (!e.isTrusted || e.button !== 0) return;
    touch = { x: e.clientX, y: e.clientY, target: e.target, axes: allowed(e.target), pan: null };
  }, true);
  addEventListener("pointermove", (e) => {
    if (!touch || !e.isTrusted) return;
    if (!touch.pan) {
      const dx = e.clientX - touch.x, dy = e.clientY - touch.y;
      if (Math.hypot(dx, dy) < slop) return;
      const vertical = Math.abs(dy) >= Math.abs(dx);
      const element = (vertical ? touch.axes.y : touch.axes.x) ? scroller(touch.target, vertical) : null;
      if (!element) { touch = null; return; }
      touch.pan = { element, vertical };
    }
    const delta = touch.pan.vertical ? touch.y - e.clientY : touch.x - e.clientX;
    touch.pan.element.scrollBy(touch.pan.vertical ? 0 : delta, touch.pan.vertical ? delta : 0);
    touch.x = e.clientX;
    touch.y = e.clientY;
    getSelection().removeAllRanges();
  }, true);
  const lift = () => {
    if (touch && touch.pan) getSelection().removeAllRanges();
    touch = null;
  };
  addEventListener("pointerup", lift, true);
  addEventListener("pointercancel", lift, true);
})();)JS";
}

std::string bridge(const std::string& tag)
{
    // Strings only: what the page passes is turned into text, as the bridge's methods take text.
    return R"JS((() => {
  const tag = ")JS"
        + tag + R"JS(";
  const call = (method, argument) =>
    prompt(tag + "call:" + String(method), argument === undefined || argument === null ? "" : String(argument));
  Object.defineProperty(window, "appBridge", { value: Object.freeze({ call }) });
  window.close = () => { prompt(tag + "close", ""); };
})();)JS";
}

std::string shownText(unsigned maxCharacters)
{
    return "(() => { const body = document.body; return body ? body.innerText.slice(0, "
        + std::to_string(maxCharacters) + ") : \"\"; })()";
}

std::string shownTextAfterFrames(unsigned maxCharacters)
{
    return "await new Promise((done) => requestAnimationFrame(() => requestAnimationFrame(done)));"
           " const body = document.body; return body ? body.innerText.slice(0, "
        + std::to_string(maxCharacters) + ") : \"\";";
}

}
