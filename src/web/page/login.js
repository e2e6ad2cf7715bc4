const form = document.getElementById('frmLogin');
const token = document.getElementById('token');
const message = document.getElementById('message');
const button = document.getElementById('cmdLogin');

const answers = {
  401: 'Wrong token.',
  429: 'Too many wrong tokens: wait a minute and try again.',
};

form.addEventListener('submit', async (event) => {
  event.preventDefault();
  message.textContent = '';
  button.disabled = true;
  try {
    const response = await fetch('/api/login', {
      method: 'POST',
      headers: { 'Content-Type': 'application/json' },
      body: JSON.stringify({ token: token.value }),
      credentials: 'same-origin',
    });
    if (response.status === 204) {
      // The same address now answers with the console, since the request carries the session.
      location.reload();
      return;
    }
    message.textContent = answers[response.status] ?? `The bot answered ${response.status}.`;
    token.select();
  } catch {
    message.textContent = 'No answer from the bot.';
  } finally {
    button.disabled = false;
  }
});
