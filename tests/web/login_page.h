#pragma once

namespace zemblo::testing {

// A login form that records the "input" and "change" events its fields get (in `seen`) and,
// instead of leaving, titles itself "sent" when submitted.
inline constexpr const char* kLoginPage = R"(<title>Login</title>
<form id="form" action="/sent" method="post">
  <input id="user" name="username" type="text"> <input id="pass" type="password">
  <button id="go">Giriş</button>
</form>
<script>
  window.seen = [];
  for (const id of ["user", "pass"]) {
    for (const type of ["input", "change"]) {
      document.getElementById(id).addEventListener(type, () => seen.push(type + ":" + id));
    }
  }
  document.getElementById("form").addEventListener("submit", (event) => {
    event.preventDefault();
    document.title = "sent";
  });
</script>)";

}  // namespace zemblo::testing
