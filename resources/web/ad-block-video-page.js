(() => {
  const domain = {{DOMAIN}};
  const host = location.hostname;
  if (host !== domain && !host.endsWith("." + domain)) return;
  const handlers = window.webkit && window.webkit.messageHandlers;
  const handler = handlers && handlers.zembloAdblock;
  if (!handler) return;
  const hidden = [
    "ytd-ad-slot-renderer",
    "ytd-in-feed-ad-layout-renderer",
    "ytd-banner-promo-renderer",
    "ytd-statement-banner-renderer",
    "ytd-promoted-sparkles-web-renderer",
    "ytd-display-ad-renderer",
    "ytd-companion-slot-renderer",
    "ytd-player-legacy-desktop-watch-ads-renderer",
    'ytd-engagement-panel-section-list-renderer[target-id="engagement-panel-ads"]',
    "#player-ads",
    "#masthead-ad",
    ".ytp-ad-overlay-container",
    ".ytp-ad-message-container",
    ".ytp-ad-image-overlay",
    "ytd-rich-item-renderer:has(ytd-ad-slot-renderer)",
    "ytd-reel-video-renderer:has(.ytd-ad-slot-renderer)",
  ];
  const skipButtons = ".ytp-skip-ad-button, .ytp-ad-skip-button, .ytp-ad-skip-button-modern";
  const start = () => {
    const style = document.createElement("style");
    style.textContent = hidden.join(",\n") + " { display: none !important; }";
    (document.head || document.documentElement).appendChild(style);
    setInterval(() => {
      const player = document.querySelector(".html5-video-player");
      if (!player || !player.classList.contains("ad-showing")) return;
      const video = player.querySelector("video");
      if (video && Number.isFinite(video.duration) && video.duration > 0 &&
          video.currentTime < video.duration - 0.1) {
        video.currentTime = video.duration;
      }
      const skip = player.querySelector(skipButtons);
      if (skip) skip.click();
    }, 250);
  };
  handler.postMessage({ type: "enabled", host }).then((enabled) => {
    if (enabled === true) start();
  }, () => {});
})();
