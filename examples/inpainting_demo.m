function varargout = inpainting_demo(outdir, image_count, hidden_share, data_file)
% INPAINTING_DEMO  Fill in hidden pixels of Fashion-MNIST images with greedynmf's mask.
%
%   inpainting_demo()
%   inpainting_demo(outdir, image_count, hidden_share, data_file)
%   [filled, info] = inpainting_demo(...)
%
%   Reads the first image_count (default 10000) images of data_file
%   (default: the test images of Debian's dataset-fashion-mnist package),
%   hides hidden_share (default 0.3) of their pixels at random, factorises
%   the 784-by-N pixel matrix V ~ W*H at rank 25 over the pixels left
%   ('mask'), and fills each hidden pixel in with W*H. Prints the error on
%   the hidden pixels against filling each with its pixel's mean over the
%   images that show it, and writes outdir/inpainting.png (default outdir:
%   the current folder): eight originals, the same with the hidden pixels
%   grey, and filled in, one row each. The pixels hidden and the start are
%   seeded, and the caller's random generator is left alone. filled (the
%   pixels, hidden ones filled in) and info (greedynmf's, with the errors
%   added) are returned only when asked for.
%
%   See also GREEDYNMF, NMF_DEMO, RANK_DEMO.
  if nargin < 1 || isempty(outdir)
    outdir = pwd;
  end
  if nargin < 2 || isempty(image_count)
    image_count = 10000;
  end
  if nargin < 3 || isempty(hidden_share)
    hidden_share = 0.3;
  end
  if nargin < 4
    data_file = [];
  end
  if ~ischar(outdir) || size(outdir, 1) ~= 1
    error('inpainting_demo:badInput', 'outdir must be a folder name');
  end
  if ~isnumeric(hidden_share) || ~isscalar(hidden_share) || ~(hidden_share > 0 && hidden_share < 1)
    error('inpainting_demo:badInput', 'hidden_share must be above 0 and below 1');
  end
  data_file = fashion_mnist_file(data_file, 'inpainting_demo');
  if ~exist(outdir, 'dir') && ~mkdir(outdir)
    error('inpainting_demo:badInput', 'cannot make the folder %s', outdir);
  end
  factor_rank = 25;

  [images, rows, cols] = read_idx_images(data_file, image_count);
  V = double(images) / 255;
  saved = rng();
  rng(1);
  shown = rand(size(V)) >= hidden_share;
  rng(saved);
  fprintf('Filling in %.0f%% of the pixels of %d Fashion-MNIST images at rank %d\n', ...
          100 * hidden_share, size(V, 2), factor_rank);
  [W, H, info] = greedynmf(V, factor_rank, 'mask', shown, 'seed', 0, 'maxiter', 200);
  model = W * H;
  filled = V;
  filled(~shown) = model(~shown);

  % The baseline: each pixel's mean over the images that show it.
  pixel_mean = sum(V .* shown, 2) ./ max(sum(shown, 2), 1);
  baseline = repmat(pixel_mean, 1, size(V, 2));
  info.hidden_rmse = sqrt(mean((V(~shown) - filled(~shown)) .^ 2));
  info.baseline_rmse = sqrt(mean((V(~shown) - baseline(~shown)) .^ 2));
  fprintf(['RMSE on the hidden pixels: %.4f filled in by W*H, %.4f by each pixel''s mean ', ...
           '(%d iterations, %.1f s)\n'], info.hidden_rmse, info.baseline_rmse, ...
          info.iterations, info.time(end));

  masked = V;
  masked(~shown) = 0.5;
  picture = fullfile(outdir, 'inpainting.png');
  first_images = 1:min(8, size(V, 2));
  strips = {V(:, first_images), masked(:, first_images), filled(:, first_images)};
  imwrite(uint8(round(255 * min(max(side_by_side(strips, rows, cols), 0), 1))), picture);
  fprintf('Wrote %s (rows: original, hidden pixels grey, filled in)\n', picture);
  outputs = {filled, info};
  varargout = outputs(1:nargout);
end

function picture = side_by_side(strips, rows, cols)
% Each strip of images (one per column) as a row of tiles, enlarged 3
% times and separated by white lines.
  zoom = 3;
  gap = 3;
  count = size(strips{1}, 2);
  picture = ones(numel(strips) * (rows * zoom + gap) + gap, count * (cols * zoom + gap) + gap);
  for s = 1:numel(strips)
    for t = 1:count
      tile = kron(reshape(strips{s}(:, t), cols, rows)', ones(zoom));
      r0 = (s - 1) * (rows * zoom + gap) + gap;
      c0 = (t - 1) * (cols * zoom + gap) + gap;
      picture(r0 + (1:rows * zoom), c0 + (1:cols * zoom)) = tile;
    end
  end
end
